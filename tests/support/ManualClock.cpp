#include "support/ManualClock.h"

#include "model/WakeSignal.h"

#include <QCoroSignal>

namespace lumi::test {

struct ManualClock::Sleeper
{
    /// Null once the clock is gone: a sleeper resumes from the event loop, maybe after that.
    ManualClock* clock;
    bool bootClock;
    std::chrono::milliseconds deadline;
    WakeSignal wake;
};

ManualClock::ManualClock(QDateTime start) : m_start(std::move(start)) {}

ManualClock::~ManualClock()
{
    for (Sleeper* sleeper : std::as_const(m_sleepers))
        sleeper->clock = nullptr;
}

QDateTime ManualClock::now() const
{
    return m_start.addMSecs((m_elapsed + m_suspended + m_wallOffset).count());
}

QCoro::Task<bool> ManualClock::sleep(std::chrono::milliseconds delay, CancelToken token)
{
    return waitUntil(false, m_elapsed + delay, std::move(token));
}

QCoro::Task<bool> ManualClock::sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token)
{
    return waitUntil(true, bootTime() + delay, std::move(token));
}

QCoro::Task<bool> ManualClock::waitUntil(bool bootClock, std::chrono::milliseconds deadline,
                                         CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    Sleeper sleeper{this, bootClock, deadline, {}};
    if ((bootClock ? bootTime() : monotonic()) >= deadline)
        co_return true;
    m_sleepers.append(&sleeper);
    QObject::connect(token.signal(), &CancelSignal::cancelled, &sleeper.wake,
                     [&sleeper] { emit sleeper.wake.woken(false); });
    const std::optional<bool> elapsed = co_await qCoro(&sleeper.wake, &WakeSignal::woken);
    if (sleeper.clock)
        sleeper.clock->m_sleepers.removeOne(&sleeper);
    co_return elapsed.value_or(false) && !token.isCancelled();
}

void ManualClock::advance(std::chrono::milliseconds by)
{
    m_elapsed += by;
    wakeDue();
}

void ManualClock::suspend(std::chrono::milliseconds by)
{
    m_suspended += by;
    wakeDue();
}

void ManualClock::setNow(const QDateTime& wall)
{
    m_wallOffset += std::chrono::milliseconds(now().msecsTo(wall));
}

void ManualClock::wakeDue()
{
    for (Sleeper* sleeper : std::as_const(m_sleepers)) {
        if ((sleeper->bootClock ? bootTime() : monotonic()) >= sleeper->deadline)
            emit sleeper->wake.woken(true);
    }
}

} // namespace lumi::test
