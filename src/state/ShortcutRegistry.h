#pragma once

namespace lumi {

/// The global shortcuts (next wallpaper, start the screen saver).
class ShortcutRegistry
{
public:
    enum class Shortcut { nextWallpaper = 1, startSaver = 2 };

    virtual ~ShortcutRegistry() = default;

    /// Registers every shortcut not yet registered; one another client holds is logged and skipped.
    virtual void registerShortcuts() = 0;
    /// Releases every registered shortcut.
    virtual void unregisterAll() = 0;
    /// Whether the shortcut is held now: not while switched off, after sign-out, or while another
    /// client holds the keys.
    virtual bool isRegistered(Shortcut shortcut) const = 0;
};

} // namespace lumi
