#include "state/Guidance.h"

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Blanks.h"
#include "model/CalendarSettings.h"
#include "model/Clock.h"
#include "state/AppModel.h"
#include "state/EventSink.h"
#include "state/ObservedValue.h"
#include "state/SettingsSync.h"
#include "state/WindowPresenter.h"

#include <QJsonObject>
#include <QPointer>

#include <utility>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString onboardingEvent = u"onboarding-step"_s;

QJsonObject calendarStep(const QString& action)
{
    return {{u"step"_s, u"calendar"_s}, {u"action"_s, action}};
}

} // namespace

Guidance::Guidance(AppModel& model, const Account& account, Clock& clock, WindowPresenter& window,
                   EventSink& events, SettingsSync& settings, QObject* parent)
    : QObject(parent), m_model(model), m_account(account), m_clock(clock), m_window(window), m_events(events),
      m_settings(settings)
{
    connect(&model, &AppModel::onboardingArrived, this, [this] { setOnboardingDue(true); });
    connect(&model, &AppModel::tourArrived, this, [this] { setTourDue(true); });
    connect(&model, &AppModel::phaseChanged, this, [this] {
        if (m_model.phase() != AppModel::Phase::ready)
            sessionEnded();
    });
}

Guidance::~Guidance()
{
    // Sleepers wake on the next event-loop turn and find the guidance gone.
    for (const auto& sleeper : {m_noticeShown, m_surveyWait, m_tourShowing}) {
        if (sleeper)
            sleeper->cancel();
    }
}

// --- Notice and view requests --------------------------------------------------------------------

void Guidance::setNotice(std::optional<QString> notice)
{
    assignObserved(*this, m_notice, std::move(notice), &Guidance::noticeChanged);
}

void Guidance::showNotice(QString text)
{
    setNotice(std::move(text));
    if (m_noticeShown)
        m_noticeShown->cancel();
    m_noticeShown = CancelToken();
    // Not counted as work: a notice on screen is no task under way.
    m_model.spawn(clearNoticeLater(*m_noticeShown), false);
}

void Guidance::setSettingsRequested(bool requested)
{
    assignObserved(*this, m_settingsRequested, requested, &Guidance::settingsRequestedChanged);
}

void Guidance::requestSettings(std::optional<SettingsSection> section)
{
    m_settingsSection = section;
    setSettingsRequested(true);
}

void Guidance::setShowTodayRequested(bool requested)
{
    assignObserved(*this, m_showTodayRequested, requested, &Guidance::showTodayRequestedChanged);
}

void Guidance::setShowPlaceRequested(std::optional<PlaceQuery> place)
{
    assignObserved(*this, m_showPlaceRequested, std::move(place), &Guidance::showPlaceRequestedChanged);
}

QCoro::Task<void> Guidance::clearNoticeLater(CancelToken cancel)
{
    const QPointer<Guidance> self(this);
    const bool elapsed = co_await m_clock.sleep(noticeDuration, cancel);
    // A newer notice cancelled this one and owns the line now.
    if (!elapsed || !self || cancel.isCancelled())
        co_return;
    self->setNotice(std::nullopt);
}

void Guidance::sessionEnded()
{
    // The settings were the signed-in user's; the window now asks for a sign-in.
    setSettingsRequested(false);
    setOnboardingDue(false);
    setTourDue(false);
    setOnboardingRequested(false);
    setSurveyRequested(false);
    // m_surveyAsked stays: the survey is offered at most once a run, whoever signs in next.
    m_tourFromAlert = false;
    endTour();
}

// --- Survey --------------------------------------------------------------------------------------

void Guidance::setSurveyRequested(bool requested)
{
    assignObserved(*this, m_surveyRequested, requested, &Guidance::surveyRequestedChanged);
}

void Guidance::scheduleSurvey()
{
    if (m_surveyAsked || !m_account.user() || !m_account.user()->isSurveyDue(m_clock.now()))
        return;
    // The survey waits for the tour; a later call may offer it.
    if (m_tourStep || m_tourPreparing)
        return;
    m_surveyAsked = true;
    if (m_surveyWait)
        m_surveyWait->cancel();
    m_surveyWait = CancelToken();
    m_model.spawn(offerSurvey(*m_surveyWait));
}

QCoro::Task<void> Guidance::offerSurvey(CancelToken wait)
{
    const QPointer<Guidance> self(this);
    AppModel& model = m_model;
    const AppModel::Session session = model.session();
    try {
        co_await model.api().updateSurvey();
        if (session.isCurrent())
            co_await model.refreshUser();
    } catch (const std::exception& error) {
        if (session.isCurrent())
            model.handleError(error, true);
    }
    if (!self || !session.isCurrent())
        co_return;
    // Counted as work while the requests are under way, not during the wait after them.
    model.spawn(revealSurvey(std::move(wait)), false);
}

QCoro::Task<void> Guidance::revealSurvey(CancelToken wait)
{
    const QPointer<Guidance> self(this);
    const AppModel::Session session = m_model.session();
    const bool elapsed = co_await m_clock.sleep(surveyDelay, wait);
    if (!elapsed || !self || !session.isCurrent())
        co_return;
    // Offered once per session: a window out of sight now means no survey until the next one.
    if (self->m_window.isMainWindowVisible())
        self->setSurveyRequested(true);
}

void Guidance::submitSurvey(QString email, QString score, QString comment)
{
    m_model.spawn(submitSurveyAnswers(std::move(email), std::move(score), std::move(comment)));
}

QCoro::Task<void> Guidance::submitSurveyAnswers(QString email, QString score, QString comment)
{
    const QPointer<Guidance> self(this);
    const AppModel::Session session = m_model.session();
    const QJsonObject body{
        {u"email"_s, Blanks::trimmed(email)}, {u"score"_s, score}, {u"comment"_s, comment}};
    bool sent = false;
    try {
        APIRequest call{u"POST"_s, u"surveys"_s, {}, body, true, {}};
        co_await m_model.api().send(std::move(call));
        sent = true;
    } catch (const std::exception&) {
        // The notice says it; the answers are not worth an alert.
    }
    if (self && session.isCurrent())
        self->showNotice(sent ? tr("Thank you for your answers.")
                              : tr("Couldn't send the survey. Thank you anyway."));
}

// --- Onboarding ----------------------------------------------------------------------------------

void Guidance::setOnboardingDue(bool due)
{
    assignObserved(*this, m_onboardingDue, due, &Guidance::onboardingDueChanged);
}

void Guidance::setOnboardingRequested(bool requested)
{
    assignObserved(*this, m_onboardingRequested, requested, &Guidance::onboardingRequestedChanged);
}

void Guidance::requestOnboarding()
{
    if (!m_onboardingDue || m_onboardingRequested)
        return;
    setOnboardingDue(false);
    setOnboardingRequested(true);
    m_events.track(onboardingEvent, calendarStep(u"shown"_s));
}

void Guidance::finishOnboarding(bool accepted, std::optional<QString> choice)
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
        m_model.spawn(applyOnboardingCalendar(std::move(choice), calendar.has_value(), std::move(theme)));
    }
    m_model.spawn(m_model.acknowledgeAlert());
}

QCoro::Task<void> Guidance::applyOnboardingCalendar(std::optional<QString> choice, bool calendarOn,
                                                    std::optional<QString> currentTheme)
{
    // The settings part outlives a session only as long as the app runs.
    const QPointer<SettingsSync> settings(&m_settings);
    const AppModel::Session session = m_model.session();
    if (!choice) {
        if (calendarOn)
            co_await settings->setCalendarSetting(u"calendar_size"_s, u"zero"_s);
        co_return;
    }
    // Each setter reports its own failure; the next one still runs.
    if (currentTheme != choice) {
        co_await settings->setCalendarSetting(u"calendar_theme"_s, *choice);
        if (!settings || !session.isCurrent())
            co_return;
    }
    if (!calendarOn)
        co_await settings->setCalendarSetting(u"calendar_size"_s, u"medium"_s);
}

// --- Tour ----------------------------------------------------------------------------------------

void Guidance::setTourDue(bool due)
{
    assignObserved(*this, m_tourDue, due, &Guidance::tourDueChanged);
}

void Guidance::setTourStep(std::optional<int> step)
{
    assignObserved(*this, m_tourStep, step, &Guidance::tourStepChanged);
}

void Guidance::setTourPreparing(std::optional<int> step)
{
    assignObserved(*this, m_tourPreparing, step, &Guidance::tourPreparingChanged);
}

void Guidance::startTour(bool fromAlert)
{
    if (fromAlert)
        setTourDue(false);
    if (m_model.phase() != AppModel::Phase::ready || m_tourStep || m_tourPreparing)
        return;
    m_tourFromAlert = fromAlert;
    // Judged before showing: a window that has to come up first needs longer to settle.
    const std::chrono::milliseconds delay = m_window.isMainWindowVisible() ? tourStepDelay : tourOpeningDelay;
    m_window.showMainWindow();
    showTourStep(0, delay);
}

void Guidance::showTourStep(int step, std::chrono::milliseconds delay)
{
    if (m_tourShowing)
        m_tourShowing->cancel();
    setTourStep(std::nullopt);
    setTourPreparing(step);
    m_tourShowing = CancelToken();
    // Not counted as work: a pending step is the tour waiting, not a task under way.
    m_model.spawn(revealTourStep(step, delay, *m_tourShowing), false);
}

QCoro::Task<void> Guidance::revealTourStep(int step, std::chrono::milliseconds delay, CancelToken cancel)
{
    const QPointer<Guidance> self(this);
    const bool elapsed = co_await m_clock.sleep(delay, cancel);
    // A newer step or the end of the tour cancelled this one.
    if (!elapsed || !self || cancel.isCancelled())
        co_return;
    self->setTourStep(step);
    self->setTourPreparing(std::nullopt);
}

void Guidance::endTour()
{
    if (m_tourShowing) {
        m_tourShowing->cancel();
        m_tourShowing.reset();
    }
    if (!m_tourStep && !m_tourPreparing)
        return;
    setTourPreparing(std::nullopt);
    setTourStep(std::nullopt);
    if (m_tourFromAlert) {
        m_tourFromAlert = false;
        m_model.spawn(m_model.acknowledgeAlert());
    }
}

} // namespace lumi
