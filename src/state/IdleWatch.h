#pragma once

namespace lumi {

/// Starts the screen saver once the user has been idle for the chosen time.
class IdleWatch
{
public:
    virtual ~IdleWatch() = default;

    /// Starts polling the idle time; a running watch is left alone.
    virtual void start() = 0;
    /// Stops polling; a later start begins afresh.
    virtual void stop() = 0;
};

} // namespace lumi
