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
/// "saver_idle" time. Between checks it sleeps until the threshold could be reached at the
/// earliest (input only makes the idle time shorter, so no check comes too late) and wakes at once
/// when the threshold itself changes; while the saver shows or is held back it looks every 10 s.
/// The system is asked only once the cheap tests (signed in, a threshold, nothing showing) pass.
/// Ending the saver on input is the player's job.
class IdleMonitor final : public QObject, public IdleWatch
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IdleMonitor)

public:
    /// The first check after start, and the checks while the saver shows or is held back.
    static constexpr std::chrono::seconds pollInterval{10};
    /// No check follows another sooner, whatever the idle time.
    static constexpr std::chrono::seconds shortestWait{1};
    /// The wait while there is no threshold to reach (signed out, "never").
    static constexpr std::chrono::hours longestWait{1};

    /// Everything outlives the monitor. `startSaver` is the saver start nobody waits for.
    IdleMonitor(const Account& account, const SaverPlayer& player, IdleSource& system, Clock& clock,
                std::function<QCoro::Task<void>()> startSaver, QObject* parent = nullptr);
    ~IdleMonitor() override;

    void start() override;
    void stop() override;

    /// One check: starts the saver when everything allows it. Returns how long the next check may
    /// wait.
    QCoro::Task<std::chrono::milliseconds> check();

private:
    QCoro::Task<void> poll(CancelToken cancel);
    std::optional<int> threshold() const;
    /// Ends the wait early when the threshold it was planned for is no longer the one that counts.
    void noteAccount();

    const Account& m_account;
    const SaverPlayer& m_player;
    IdleSource& m_system;
    Clock& m_clock;
    std::function<QCoro::Task<void>()> m_startSaver;
    std::optional<CancelToken> m_loop;
    /// The wait in progress and the threshold it was planned for.
    std::optional<CancelToken> m_wait;
    std::optional<int> m_waitThreshold;
};

} // namespace lumi
