#pragma once

namespace lumi {

/// The global shortcuts (next wallpaper, start the screen saver).
class ShortcutRegistry
{
public:
    virtual ~ShortcutRegistry() = default;

    /// Registers every shortcut not yet registered; one another client holds is logged and skipped.
    virtual void registerShortcuts() = 0;
    /// Releases every registered shortcut.
    virtual void unregisterAll() = 0;
};

} // namespace lumi
