#pragma once

#include "model/Clock.h"

namespace lumi {

/// The real clocks: CLOCK_MONOTONIC for delays, CLOCK_BOOTTIME for delays that count across
/// system sleep.
class SystemClock final : public Clock
{
public:
    QDateTime now() const override;
    std::chrono::milliseconds monotonic() const override;
    std::chrono::milliseconds bootTime() const override;
    QCoro::Task<bool> sleep(std::chrono::milliseconds delay, CancelToken token) override;
    QCoro::Task<bool> sleepAcrossSuspend(std::chrono::milliseconds delay, CancelToken token) override;
};

} // namespace lumi
