#include "state/AppModel.h"

#include "model/CalendarSettings.h"
#include "model/Clock.h"
#include "state/EventSink.h"
#include "state/WindowPresenter.h"

#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString onboardingEvent = u"onboarding-step"_s;

QJsonObject calendarStep(const QString& action)
{
    return {{u"step"_s, u"calendar"_s}, {u"action"_s, action}};
}

} // namespace

void AppModel::requestOnboarding()
{
    if (!m_onboardingDue || m_onboardingRequested)
        return;
    setOnboardingDue(false);
    setOnboardingRequested(true);
    m_events.track(onboardingEvent, calendarStep(u"shown"_s));
}

void AppModel::finishOnboarding(bool accepted, std::optional<QString> choice)
{
    setOnboardingRequested(false);
    if (!accepted) {
        m_events.track(onboardingEvent, calendarStep(u"skipped"_s));
    } else {
        QJsonObject properties = calendarStep(u"done"_s);
        properties.insert(u"choice"_s, choice.value_or(u"none"_s));
        m_events.track(onboardingEvent, properties);
        // The settings as they are now decide what needs writing.
        const std::optional<CalendarSettings> calendar = CalendarSettings::fromUser(m_account.user());
        std::optional<QString> theme =
            calendar ? std::optional<QString>(calendar->theme)
                     : (m_account.user() ? m_account.user()->calendarTheme : std::nullopt);
        spawn(applyOnboardingCalendar(std::move(choice), calendar.has_value(), std::move(theme)));
    }
    spawn(acknowledgeAlert());
}

QCoro::Task<void> AppModel::applyOnboardingCalendar(std::optional<QString> choice, bool calendarOn,
                                                    std::optional<QString> currentTheme)
{
    const Session session = this->session();
    const auto setCalendarSetting = [this](QString key, QString value) {
        return sendSetting(std::move(key), std::move(value), u"calendar"_s, true);
    };
    if (!choice) {
        if (calendarOn)
            co_await setCalendarSetting(u"calendar_size"_s, u"zero"_s);
        co_return;
    }
    // Each setter reports its own failure; the next one still runs.
    if (currentTheme != choice) {
        co_await setCalendarSetting(u"calendar_theme"_s, *choice);
        if (!session.isCurrent())
            co_return;
    }
    if (!calendarOn)
        co_await setCalendarSetting(u"calendar_size"_s, u"medium"_s);
}

void AppModel::startTour(bool fromAlert)
{
    if (fromAlert)
        setTourDue(false);
    if (m_phase != Phase::ready || m_tourStep || m_tourPreparing)
        return;
    m_tourFromAlert = fromAlert;
    // Judged before showing: a window that has to come up first needs longer to settle.
    const std::chrono::milliseconds delay = m_window.isMainWindowVisible() ? tourStepDelay : tourOpeningDelay;
    m_window.showMainWindow();
    showTourStep(0, delay);
}

void AppModel::showTourStep(int step, std::chrono::milliseconds delay)
{
    if (m_tourShowing)
        m_tourShowing->cancel();
    setTourStep(std::nullopt);
    setTourPreparing(step);
    m_tourShowing = CancelToken();
    // Not counted as work: a pending step is the tour waiting, not a task under way.
    spawn(revealTourStep(step, delay, *m_tourShowing), false);
}

QCoro::Task<void> AppModel::revealTourStep(int step, std::chrono::milliseconds delay, CancelToken cancel)
{
    const QPointer<AppModel> self(this);
    const bool elapsed = co_await m_clock.sleep(delay, cancel);
    // A newer step or the end of the tour cancelled this one.
    if (!elapsed || !self || cancel.isCancelled())
        co_return;
    self->setTourStep(step);
    self->setTourPreparing(std::nullopt);
}

} // namespace lumi
