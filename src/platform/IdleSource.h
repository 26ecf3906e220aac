#pragma once

#include <QCoroTask>

namespace lumi {

/// What the system knows about the user's presence, asked before the screen saver starts by
/// itself. Every query resolves on the main thread without blocking it; an answer the system
/// cannot give counts as "not idle" for idleSeconds() and "no" for the other two.
class IdleSource
{
public:
    virtual ~IdleSource() = default;

    /// Seconds since the user last touched any input device.
    virtual QCoro::Task<double> idleSeconds() = 0;
    /// Whether the session's screen is locked.
    virtual QCoro::Task<bool> isScreenLocked() = 0;
    /// Whether some program asks that the display not blank while the user is idle (a video
    /// player, a presentation).
    virtual QCoro::Task<bool> isDisplaySleepBlocked() = 0;
};

} // namespace lumi
