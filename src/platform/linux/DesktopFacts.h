#pragma once

#include <QStringList>

namespace lumi {

/// What the session tells about the desktop, gathered once to choose how to set the wallpaper.
struct DesktopFacts final
{
    /// XDG_CURRENT_DESKTOP, split at ':' (e.g. "ubuntu", "GNOME").
    QStringList desktops;
    /// A Wayland session: the X root window is not what the screen shows.
    bool wayland = false;
    /// An X display to connect to ($DISPLAY).
    bool x11 = false;
    /// Names owned or activatable on the session bus.
    QStringList busNames;
    /// The gsettings tool is on the PATH.
    bool gsettings = false;
};

} // namespace lumi
