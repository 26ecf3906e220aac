#include "player/IdleMonitor.h"

#include "model/Account.h"
#include "model/Clock.h"
#include "model/SaverIdle.h"
#include "platform/IdleSource.h"
#include "player/PlayerTask.h"
#include "state/SaverPlayer.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

namespace lumi {

namespace {

// Input only makes the idle time shorter: the threshold comes this soon at the earliest.
std::chrono::milliseconds untilThreshold(int threshold, double idle)
{
    const std::chrono::milliseconds left(qint64(std::ceil((threshold - idle) * 1000.0)));
    return std::max<std::chrono::milliseconds>(left, IdleMonitor::shortestWait);
}

} // namespace

IdleMonitor::IdleMonitor(const Account& account, const SaverPlayer& player, IdleSource& system, Clock& clock,
                         std::function<QCoro::Task<void>()> startSaver, QObject* parent)
    : QObject(parent), m_account(account), m_player(player), m_system(system), m_clock(clock),
      m_startSaver(std::move(startSaver))
{
    // Queued: the check that may follow runs outside the model's setters.
    connect(&account, &Account::userChanged, this, &IdleMonitor::noteAccount, Qt::QueuedConnection);
    connect(&account, &Account::signedInChanged, this, &IdleMonitor::noteAccount, Qt::QueuedConnection);
}

IdleMonitor::~IdleMonitor()
{
    stop();
}

void IdleMonitor::start()
{
    if (m_loop)
        return;
    m_loop = CancelToken();
    PlayerTask::start(poll(*m_loop));
}

void IdleMonitor::stop()
{
    if (m_loop) {
        m_loop->cancel();
        m_loop.reset();
    }
    if (m_wait) {
        const CancelToken wait = *m_wait;
        m_wait.reset();
        wait.cancel();
    }
}

void IdleMonitor::noteAccount()
{
    if (m_wait && threshold() != m_waitThreshold)
        m_wait->cancel();
}

QCoro::Task<void> IdleMonitor::poll(CancelToken cancel)
{
    const QPointer<IdleMonitor> self(this);
    Clock& clock = m_clock;
    std::chrono::milliseconds wait = pollInterval;
    while (!cancel.isCancelled()) {
        const CancelToken interrupt;
        m_wait = interrupt;
        m_waitThreshold = threshold();
        // Ended early by a new threshold: then the check comes at once.
        co_await clock.sleep(wait, interrupt);
        if (!self || cancel.isCancelled())
            co_return;
        m_wait.reset();
        wait = co_await check();
        if (!self)
            co_return;
    }
}

std::optional<int> IdleMonitor::threshold() const
{
    if (!m_account.isSignedIn() || !m_account.user())
        return std::nullopt;
    return SaverIdle::fromSetting(m_account.user()->saverIdle).seconds();
}

QCoro::Task<std::chrono::milliseconds> IdleMonitor::check()
{
    const QPointer<IdleMonitor> self(this);
    const std::optional<int> needed = threshold();
    if (!needed)
        co_return longestWait;
    if (m_player.isShowing())
        co_return pollInterval;
    IdleSource& system = m_system;
    const double idle = co_await system.idleSeconds();
    if (!self)
        co_return pollInterval;
    if (idle < *needed)
        co_return untilThreshold(*needed, idle);
    const bool locked = co_await system.isScreenLocked();
    if (!self || locked)
        co_return pollInterval;
    const bool blocked = co_await system.isDisplaySleepBlocked();
    // The answers take time: a sign-out or a saver started meanwhile wins.
    if (!self || blocked || !threshold() || m_player.isShowing())
        co_return pollInterval;
    PlayerTask::start(m_startSaver());
    co_return pollInterval;
}

} // namespace lumi
