#pragma once

namespace lumi {

/// Crash capture as the start-up sequence arms it.
class CrashCapture
{
public:
    virtual ~CrashCapture() = default;

    /// Reports what the previous run left after a crash, then installs the signal and exception
    /// handlers. Runs before any other start-up work; never fails to the caller.
    virtual void install() = 0;
};

} // namespace lumi
