#pragma once

namespace lumi {

/// The take-over of the older desktop app, as far as the session needs it.
class AppTakeover
{
public:
    virtual ~AppTakeover() = default;

    /// Sends the pending "desktop-replaced" event once a user is signed in; nothing when none is pending.
    virtual void postReplacedEvent() = 0;
};

} // namespace lumi
