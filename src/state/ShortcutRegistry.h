#pragma once

namespace lumi {

/// The global shortcuts (next wallpaper, start the screen saver).
class ShortcutRegistry
{
public:
    enum class Shortcut { nextWallpaper = 1, startSaver = 2 };
    /// What a shortcut does for the user now: nothing because it is switched off (or nobody is
    /// signed in), works, is wanted but its keys are held by another client (tried again at the
    /// next registration and the next keyboard layout change), or can't work on this desktop
    /// (Wayland), switched on or not.
    enum class State { off, held, taken, unavailable };

    virtual ~ShortcutRegistry() = default;

    /// Registers every shortcut not yet registered; one another client holds is logged and skipped.
    virtual void registerShortcuts() = 0;
    /// Releases every registered shortcut.
    virtual void unregisterAll() = 0;
    /// Whether the shortcut is held now: not while switched off, after sign-out, or while another
    /// client holds the keys.
    virtual bool isRegistered(Shortcut shortcut) const = 0;
    virtual State state(Shortcut shortcut) const = 0;
};

} // namespace lumi
