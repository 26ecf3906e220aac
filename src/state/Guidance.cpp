#include "state/Guidance.h"

#include "model/Clock.h"
#include "state/AppModel.h"

#include <QPointer>

#include <utility>

namespace lumi {

Guidance::Guidance(AppModel& model, Clock& clock, QObject* parent)
    : QObject(parent), m_model(model), m_clock(clock)
{
}

Guidance::~Guidance()
{
    // The sleeper wakes on the next event-loop turn and finds the guidance gone.
    if (m_noticeShown)
        m_noticeShown->cancel();
}

void Guidance::setNotice(std::optional<QString> notice)
{
    if (m_notice == notice)
        return;
    m_notice = std::move(notice);
    emit noticeChanged();
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
    if (std::exchange(m_settingsRequested, requested) != requested)
        emit settingsRequestedChanged();
}

void Guidance::setShowTodayRequested(bool requested)
{
    if (std::exchange(m_showTodayRequested, requested) != requested)
        emit showTodayRequestedChanged();
}

void Guidance::setShowPlaceRequested(std::optional<PlaceQuery> place)
{
    if (m_showPlaceRequested == place)
        return;
    m_showPlaceRequested = std::move(place);
    emit showPlaceRequestedChanged();
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

} // namespace lumi
