#pragma once

namespace lumi {

/// The screen saver and gallery player, as far as the session needs it.
class SaverPlayer
{
public:
    virtual ~SaverPlayer() = default;

    /// True while a screen saver or the gallery is on screen.
    virtual bool isShowing() const = 0;
    /// Ends whatever plays; nothing visible happens when nothing plays.
    virtual void stop() = 0;
};

} // namespace lumi
