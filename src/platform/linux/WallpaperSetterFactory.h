#pragma once

#include "platform/WallpaperSetter.h"
#include "platform/linux/DesktopFacts.h"

#include <QCoroTask>
#include <QDBusConnection>

#include <memory>

namespace lumi {

class Screens;

/// The ways of setting the wallpaper this app knows.
enum class WallpaperBackend {
    Gnome,
    Kde,
    Xfce,
    X11Root,
    Unsupported,
};

/// Decides, once at start-up, how wallpapers are set in this session.
class WallpaperSetterFactory final
{
public:
    WallpaperSetterFactory() = delete;

    /// The first desktop named in XDG_CURRENT_DESKTOP that we support and whose service is there;
    /// otherwise the X root window when the session is X11; otherwise none.
    static WallpaperBackend choose(const DesktopFacts& facts);

    /// Reads the session's environment and asks bus which services exist. An unreachable bus
    /// simply lists none.
    static QCoro::Task<DesktopFacts> probe(QDBusConnection bus);

    /// The setter of a backend. screens must outlive it.
    static std::unique_ptr<WallpaperSetter> make(WallpaperBackend backend, const Screens& screens,
                                                 QDBusConnection bus, const DesktopFacts& facts = {});

    /// probe, choose and make, with one log line naming the choice. screens must outlive the setter.
    static QCoro::Task<std::unique_ptr<WallpaperSetter>> create(const Screens* screens, QDBusConnection bus);
};

} // namespace lumi
