#include "player/IdleMonitor.h"

#include "model/Account.h"
#include "model/Clock.h"
#include "model/SaverIdle.h"
#include "platform/IdleSource.h"
#include "player/PlayerTask.h"
#include "state/SaverPlayer.h"

#include <QPointer>

namespace lumi {

IdleMonitor::IdleMonitor(const Account& account, const SaverPlayer& player, IdleSource& system, Clock& clock,
                         std::function<QCoro::Task<void>()> startSaver, QObject* parent)
    : QObject(parent), m_account(account), m_player(player), m_system(system), m_clock(clock),
      m_startSaver(std::move(startSaver))
{
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
}

QCoro::Task<void> IdleMonitor::poll(CancelToken cancel)
{
    const QPointer<IdleMonitor> self(this);
    Clock& clock = m_clock;
    while (!cancel.isCancelled()) {
        co_await clock.sleep(pollInterval, cancel);
        if (!self || cancel.isCancelled())
            co_return;
        co_await check();
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

QCoro::Task<void> IdleMonitor::check()
{
    const QPointer<IdleMonitor> self(this);
    const std::optional<int> needed = threshold();
    if (!needed || m_player.isShowing())
        co_return;
    IdleSource& system = m_system;
    const double idle = co_await system.idleSeconds();
    if (!self || idle < *needed)
        co_return;
    const bool locked = co_await system.isScreenLocked();
    if (!self || locked)
        co_return;
    const bool blocked = co_await system.isDisplaySleepBlocked();
    // The answers take time: a sign-out or a saver started meanwhile wins.
    if (!self || blocked || !threshold() || m_player.isShowing())
        co_return;
    PlayerTask::start(m_startSaver());
}

} // namespace lumi
