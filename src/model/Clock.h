#pragma once

#include "model/CancelToken.h"

#include <QCoroTask>
#include <QDateTime>

#include <chrono>

namespace lumi {

/// Time as the app sees it: wall time, a monotonic clock for delays and ages, and a boot-time clock
/// that keeps counting while the computer sleeps. Injected so tests can run long schedules at once.
class Clock
{
public:
    virtual ~Clock() = default;

    virtual QDateTime now() const = 0;
    virtual std::chrono::milliseconds monotonic() const = 0;
    virtual std::chrono::milliseconds bootTime() const = 0;

    /// Resumes after the delay on the monotonic clock; false when the token was cancelled first.
    virtual QCoro::Task<bool> sleep(std::chrono::milliseconds delay, CancelToken token) = 0;
    /// Like sleep, but time spent in system sleep counts toward the delay.
    virtual QCoro::Task<bool> sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token) = 0;
};

} // namespace lumi
