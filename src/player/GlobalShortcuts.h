#pragma once

#include "state/ShortcutRegistry.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>

#include <functional>

namespace lumi {

class Hotkeys;
class WallpaperRotation;

/// Super+Shift+W asks for the next wallpaper and Super+Shift+S starts the screen saver, from
/// whatever application is in front. A combination another client holds is logged and tried again
/// at the next registration; one lost at a keyboard layout change also at the next change.
class GlobalShortcuts final : public QObject, public ShortcutRegistry
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlobalShortcuts)

public:
    /// Everything outlives the shortcuts. `startSaver` is the saver start nobody waits for.
    GlobalShortcuts(Hotkeys& hotkeys, WallpaperRotation& rotation,
                    std::function<QCoro::Task<void>()> startSaver, QObject* parent = nullptr);
    ~GlobalShortcuts() override;

    void registerShortcuts() override;
    void unregisterAll() override;
    bool isRegistered(Shortcut shortcut) const override;
    State state(Shortcut shortcut) const override;

private:
    void fire(int id);
    QCoro::Task<void> nextWallpaper();

    Hotkeys& m_hotkeys;
    WallpaperRotation& m_rotation;
    std::function<QCoro::Task<void>()> m_startSaver;
    QSet<int> m_registered;
    bool m_wanted = false;
    bool m_unsupportedLogged = false;
};

} // namespace lumi
