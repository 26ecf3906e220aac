#pragma once

namespace lumi {

/// The desktop's notification area, where the app keeps its icon and menu. Some desktops have
/// none (GNOME without an extension): the main window is then the way into the app.
class SystemTray
{
public:
    virtual ~SystemTray() = default;

    /// Whether a tray host runs now and can show the app's icon.
    virtual bool isAvailable() const = 0;
};

} // namespace lumi
