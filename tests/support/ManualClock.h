#pragma once

#include "model/Clock.h"

#include <QList>

namespace lumi::test {

/// A clock that only moves when the test says so. Sleepers wake (on the next event-loop turn)
/// once advance() passes their deadline.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC));
    /// Sleepers still waiting are left suspended: cancel their tokens first.
    ~ManualClock() override;

    QDateTime now() const override;
    std::chrono::milliseconds monotonic() const override { return m_elapsed; }
    std::chrono::milliseconds bootTime() const override { return m_elapsed + m_suspended; }
    QCoro::Task<bool> sleep(std::chrono::milliseconds delay, CancelToken token) override;
    QCoro::Task<bool> sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token) override;

    /// Moves every clock forward and wakes the sleepers that are due.
    void advance(std::chrono::milliseconds by);
    /// The computer slept: wall and boot time move, the monotonic clock does not.
    void suspend(std::chrono::milliseconds by);
    /// Sets wall time only (the user changed the clock).
    void setNow(const QDateTime& wall);
    int sleeperCount() const { return int(m_sleepers.size()); }

private:
    struct Sleeper;
    QCoro::Task<bool> waitUntil(bool bootClock, std::chrono::milliseconds deadline, CancelToken token);
    void wakeDue();

    QDateTime m_start;
    std::chrono::milliseconds m_elapsed{0};
    std::chrono::milliseconds m_suspended{0};
    std::chrono::milliseconds m_wallOffset{0};
    QList<Sleeper*> m_sleepers;
};

} // namespace lumi::test
