#include "wallpaper/FailureBackoff.h"

namespace lumi {

namespace {

// The next local midnight is at most 25 hours away, on the day clocks are set back an hour.
constexpr qint64 longestWaitSeconds = 25 * 3600;

} // namespace

void FailureBackoff::noteFailure(const QDateTime& now)
{
    const QDateTime local = now.toLocalTime();
    if (m_failureDay != local.date()) {
        m_failureDay = local.date();
        m_failures = 0;
    }
    ++m_failures;
    if (m_failures > dailyLimit)
        m_retryAt = local.date().addDays(1).startOfDay();
    else
        m_retryAt = now.addSecs(retryDelay.count());
}

void FailureBackoff::clear()
{
    m_failures = 0;
    m_retryAt.reset();
}

bool FailureBackoff::waitHolds(const QDateTime& now, const std::optional<QDateTime>& until)
{
    if (!until || now >= *until)
        return false;
    return now.secsTo(*until) <= longestWaitSeconds;
}

} // namespace lumi
