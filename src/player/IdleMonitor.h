#pragma once

#include "model/CancelToken.h"
#include "state/IdleWatch.h"

#include <QCoroTask>
#include <QObject>

#include <chrono>
#include <functional>
#include <optional>

namespace lumi {

class Account;
class Clock;
class IdleSource;
class SaverPlayer;

/// Starts the screen saver once the signed-in user has left the computer alone for their
/// "saver_idle" time. Polls every 10 s; the system is asked only once the cheap tests (signed in,
/// a threshold, nothing showing) pass. Ending the saver on input is the player's job.
class IdleMonitor final : public QObject, public IdleWatch
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleMonitor)

public:
    static constexpr std::chrono::seconds pollInterval{10};

    /// Everything outlives the monitor. `startSaver` is the saver start nobody waits for.
    IdleMonitor(const Account& account, const SaverPlayer& player, IdleSource& system, Clock& clock,
                std::function<QCoro::Task<void>()> startSaver, QObject* parent = nullptr);
    ~IdleMonitor() override;

    void start() override;
    void stop() override;

    /// One poll: starts the saver when everything allows it.
    QCoro::Task<void> check();

private:
    QCoro::Task<void> poll(CancelToken cancel);
    std::optional<int> threshold() const;

    const Account& m_account;
    const SaverPlayer& m_player;
    IdleSource& m_system;
    Clock& m_clock;
    std::function<QCoro::Task<void>()> m_startSaver;
    std::optional<CancelToken> m_loop;
};

} // namespace lumi
