#include "platform/linux/SystemClock.h"

#include "model/WakeSignal.h"

#include <QCoroSignal>
#include <QTimer>

#include <algorithm>
#include <time.h>

namespace lumi {

namespace {

std::chrono::milliseconds readClock(clockid_t id)
{
    timespec ts{};
    clock_gettime(id, &ts);
    return std::chrono::milliseconds(qint64(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
}

// QTimer pauses while the system sleeps, so long suspend-aware waits are cut into slices that
// re-read the boot-time clock.
constexpr std::chrono::milliseconds suspendSlice{60'000};

} // namespace

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }
std::chrono::milliseconds SystemClock::monotonic() const { return readClock(CLOCK_MONOTONIC); }
std::chrono::milliseconds SystemClock::bootTime() const { return readClock(CLOCK_BOOTTIME); }

QCoro::Task<bool> SystemClock::sleep(std::chrono::milliseconds delay, CancelToken token)
{
    if (token.isCancelled())
        co_return false;
    WakeSignal wake;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &wake, [&wake] { emit wake.woken(true); });
    QObject::connect(token.signal(), &CancelSignal::cancelled, &wake, [&wake] { emit wake.woken(false); });
    timer.start(std::max(delay, std::chrono::milliseconds(0)));
    const std::optional<bool> elapsed = co_await qCoro(&wake, &WakeSignal::woken);
    co_return elapsed.value_or(false) && !token.isCancelled();
}

QCoro::Task<bool> SystemClock::sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token)
{
    const auto deadline = bootTime() + delay;
    for (auto left = delay; left.count() > 0; left = deadline - bootTime()) {
        if (!co_await sleep(std::min(left, suspendSlice), token))
            co_return false;
    }
    co_return !token.isCancelled();
}

} // namespace lumi
