#pragma once

#include "state/ShortcutRegistry.h"

#include <QObject>

#include <memory>

class QAction;
class QKeySequence;
class QMenu;

namespace lumi {

class AppModel;
class Guidance;
class PlaylistEditor;
class PhotoStoryPresenter;
class SaverLauncher;
class WallpaperRotation;
class WindowPresenter;

/// The menu of the tray icon: a sign-in item while nobody is signed in, else the photo on the
/// desktop and the quick actions. It keeps no state: it is rebuilt from the model, the rotation and
/// the shortcuts whenever the model changes and each time before it opens.
class MenuBarContent final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuBarContent)

public:
    /// What the items act on besides the model; made by the composition root (or a test), each
    /// alive for longer than the menu.
    struct Services
    {
        PlaylistEditor& playlists;
        /// Settings… asks it for the settings sheet.
        Guidance& guidance;
        SaverLauncher& saver;
        WallpaperRotation& rotation;
        const ShortcutRegistry& shortcuts;
        WindowPresenter& window;
        PhotoStoryPresenter& stories;
    };

    MenuBarContent(AppModel& model, Services services, QObject* parent = nullptr);
    ~MenuBarContent() override;

    QMenu* menu() const { return m_menu.get(); }
    void rebuild();

    /// A text from the server as a menu item shows it: "&" is no mnemonic and line breaks or tabs
    /// don't split it.
    static QString menuText(QString text);

signals:
    /// "Quit Lumivale".
    void quitRequested();

private:
    void buildSignedOut();
    void buildSignedIn();
    void nextWallpaper();
    /// The global key of a tray item in its key column: as a shortcut while held, as an inactive
    /// mark while another client holds it, else not at all.
    void showHotkey(QAction& item, ShortcutRegistry::Shortcut shortcut, const QKeySequence& key) const;

    AppModel& m_model;
    Guidance& m_guidance;
    PlaylistEditor& m_playlists;
    SaverLauncher& m_saver;
    WallpaperRotation& m_rotation;
    const ShortcutRegistry& m_shortcuts;
    WindowPresenter& m_window;
    PhotoStoryPresenter& m_stories;
    std::unique_ptr<QMenu> m_menu;
};

} // namespace lumi
