#pragma once

#include <QDate>
#include <QDateTime>

#include <chrono>
#include <optional>

namespace lumi {

/// When the rotation may try again after failed changes: 120 s after each failure, and after more
/// than ten failures in one local day not before the next local midnight.
class FailureBackoff final
{
public:
    static constexpr std::chrono::seconds retryDelay{120};
    static constexpr int dailyLimit = 10;

    /// Counts a failure at now and sets the retry time.
    void noteFailure(const QDateTime& now);
    /// After a completed change: no wait, no failures counted (the day counted stays).
    void clear();

    /// Timed changes and redraws wait. A retry time further ahead than the longest wait can only
    /// come from a clock that was set back since, and no longer holds.
    bool holds(const QDateTime& now) const { return waitHolds(now, m_retryAt); }
    /// The rule of holds() for any wait of at most 120 s or until the next local midnight.
    static bool waitHolds(const QDateTime& now, const std::optional<QDateTime>& until);

    const std::optional<QDateTime>& retryAt() const { return m_retryAt; }
    void setRetryAt(std::optional<QDateTime> at) { m_retryAt = std::move(at); }
    int failures() const { return m_failures; }

private:
    std::optional<QDateTime> m_retryAt;
    int m_failures = 0;
    QDate m_failureDay;
};

} // namespace lumi
