#include "platform/linux/SystemClock.h"

#include "model/WakeSignal.h"

#include <QCoroSignal>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>

namespace lumi {

namespace {

std::chrono::milliseconds readClock(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return std::chrono::milliseconds(qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

// Without a boot-time timer (QTimer pauses while the system sleeps), long suspend-aware waits are
// cut into slices that re-read the boot-time clock.
constexpr std::chrono::milliseconds suspendSlice{60'000};

// A CLOCK_BOOTTIME timerfd armed once: it fires on time across system sleep, with one wake-up
// however long the wait.
class BootTimer final
{
public:
    explicit BootTimer(std::chrono::milliseconds delay)
        : m_fd(timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC))
    {
        // An all-zero value would disarm the timer: a due wait fires after a nanosecond.
        const qint64 ns = std::max<qint64>(qint64(delay.count()) * 1'000'000, 1);
        itimerspec expiry{};
        expiry.it_value.tv_sec = time_t(ns / 1'000'000'000);
        expiry.it_value.tv_nsec = long(ns % 1'000'000'000);
        if (m_fd >= 0 && timerfd_settime(m_fd, 0, &expiry, nullptr) != 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~BootTimer()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(BootTimer)

    /// -1 when the system has no boot-time timer.
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// Resumes when `source` emits `fired` or the token is cancelled, whichever comes first; true for
// the first.
template <typename Source, typename Signal>
QCoro::Task<bool> firedBeforeCancel(Source* source, Signal fired, CancelToken token)
{
    WakeSignal wake;
    QObject::connect(source, fired, &wake, [&wake] { emit wake.woken(true); });
    QObject::connect(token.signal(), &CancelSignal::cancelled, &wake, [&wake] { emit wake.woken(false); });
    const std::optional<bool> elapsed = co_await qCoro(&wake, &WakeSignal::woken);
    co_return elapsed.value_or(false) && !token.isCancelled();
}

} // namespace

// UTC needs no time zone: each local time Qt makes re-reads the zone file.
QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}
std::chrono::milliseconds SystemClock::monotonic() const
{
    return readClock(CLOCK_MONOTONIC);
}
std::chrono::milliseconds SystemClock::bootTime() const
{
    return readClock(CLOCK_BOOTTIME);
}

QCoro::Task<bool> SystemClock::sleep(std::chrono::milliseconds delay, CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(std::max(delay, std::chrono::milliseconds(0)));
    co_return co_await firedBeforeCancel(&timer, &QTimer::timeout, token);
}

QCoro::Task<bool> SystemClock::sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    const BootTimer timer(delay);
    if (timer.fd() >= 0) {
        QSocketNotifier expiry(timer.fd(), QSocketNotifier::Read);
        co_return co_await firedBeforeCancel(&expiry, &QSocketNotifier::activated, token);
    }
    const auto deadline = bootTime() + delay;
    for (auto left = delay; left.count() > 0; left = deadline - bootTime()) {
        if (!co_await sleep(std::min(left, suspendSlice), token))
            co_return false;
    }
    co_return !token.isCancelled();
}

} // namespace lumi
