#pragma once

#include "app/startup/StartupServices.h"
#include "browser/BrowserServices.h"
#include "services/CrashReporter.h"

#include <QCoroTask>
#include <QObject>

#include <memory>

class QSystemTrayIcon;

namespace lumi {

class APIClient;
class Account;
class AppModel;
class AppTakeover;
class CatalogPages;
class ChangeFailureNotice;
class Autostart;
class Clock;
class DataDirectory;
class Diagnostics;
class DailyNotifications;
class EventSink;
class Hotkeys;
class IdleSource;
class IdleWatch;
class InputActivity;
class KeyNameTranslator;
class LibrarySyncedPhotos;
class FileRevealer;
class LinkOpener;
class Notifier;
class MainWindowController;
class MenuBarContent;
class Pickers;
class PhotoLoader;
class PhotoStoryPresenter;
class Guidance;
class PlaylistEditor;
class PlaylistSync;
class ProcessControl;
class RotationEngine;
class SaverLauncher;
class SaverPlayer;
class Screens;
class SettingsSync;
class ShortcutRegistry;
class TerminationRequests;
class UpdateOffer;
class Trash;
class WakeWatcher;
class WallpaperService;
class WallpaperSetter;
class WindowRelay;

/// The composition root: runs the start-up sequence and creates every long-lived service once, at
/// its place in that sequence, owning it until exit. Members are declared in the order they are
/// made, so they are destroyed in reverse.
class Application final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    struct Options
    {
        /// Started by the desktop's autostart entry at login.
        bool autostart = false;
    };

    enum class Start {
        running,    ///< this is the one copy; the tray and the model are up
        handingOver ///< another copy runs; this one asks it to come forward and then ends
    };

    Application(Options options, StartupServices startup);
    ~Application() override;

    /// The start-up sequence: single instance, crash capture, take-over of the older app and its
    /// settings, updates, then the model's launch and the main window when it is wanted.
    Start start();
    /// start(), then the event loop until quit; the process's exit status. Termination signals
    /// quit it the orderly way.
    int run();

    /// None until start() made them (never for a copy that hands over).
    AppModel* model() const { return m_model.get(); }
    Guidance* guidance() const { return m_guidance.get(); }
    MainWindowController* mainWindow() const { return m_mainWindow.get(); }
    MenuBarContent* menu() const { return m_menu.get(); }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon.get(); }

signals:
    /// The copy that runs has been asked to come forward (or could not be reached).
    void handedOver();

private:
    QCoro::Task<void> handOver();
    QCoro::Task<void> launchAfterTakeover();
    void createModel();
    void createWallpaperServices();
    void createSaverServices();
    void createShell();
    BrowserServices browserServices() const;
    void quitting();

    // First made, last gone: every service may report a problem until its end.
    CrashReporter m_crashReporter;
    Options m_options;
    // A later copy asked for the window before it existed.
    bool m_activationPending = false;
    // Made by run() only: a test's process keeps its own signal handling.
    std::unique_ptr<TerminationRequests> m_terminationRequests;
    // The start-up sequence, in its order.
    std::unique_ptr<SingleInstance> m_singleInstance;
    std::unique_ptr<SystemTray> m_systemTray;
    std::unique_ptr<CrashHandlers> m_crashHandlers;
    std::unique_ptr<OlderAppMigration> m_olderApp;
    // The one HTTP session's client: the update check asks through it, as the model's services do.
    std::unique_ptr<APIClient> m_api;
    std::unique_ptr<SoftwareUpdates> m_updates;
    // The model and its neighbours.
    std::unique_ptr<KeyNameTranslator> m_keyNames;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<Autostart> m_autostart;
    std::unique_ptr<LinkOpener> m_links;
    std::unique_ptr<FileRevealer> m_revealer;
    std::unique_ptr<Pickers> m_pickers;
    std::unique_ptr<Trash> m_trash;
    std::unique_ptr<ProcessControl> m_processes;
    std::unique_ptr<DataDirectory> m_dataDirectory;
    // Written by the model only; the services made before it read it.
    std::unique_ptr<Account> m_account;
    std::unique_ptr<EventSink> m_events;
    std::unique_ptr<Screens> m_screens;
    std::unique_ptr<WakeWatcher> m_wake;
    std::unique_ptr<WallpaperSetter> m_wallpaperSetter;
    std::unique_ptr<PlaylistSync> m_sync;
    std::unique_ptr<LibrarySyncedPhotos> m_syncedPhotos;
    std::unique_ptr<RotationEngine> m_rotation;
    // Owned by the rotation; the settings clear its cache.
    WallpaperService* m_wallpapers = nullptr;
    std::unique_ptr<PhotoLoader> m_photoLoader;
    std::unique_ptr<InputActivity> m_inputActivity;
    std::unique_ptr<SaverPlayer> m_player;
    // The monitor reads the player.
    std::unique_ptr<IdleSource> m_idleSource;
    std::unique_ptr<IdleWatch> m_idle;
    std::unique_ptr<Hotkeys> m_hotkeys;
    std::unique_ptr<ShortcutRegistry> m_shortcuts;
    std::unique_ptr<Notifier> m_notifier;
    std::unique_ptr<DailyNotifications> m_notifications;
    std::unique_ptr<ChangeFailureNotice> m_changeFailureNotice;
    std::unique_ptr<Diagnostics> m_diagnostics;
    std::unique_ptr<AppTakeover> m_takeover;
    std::unique_ptr<WindowRelay> m_windowRelay;
    std::unique_ptr<AppModel> m_model;
    // The parts of the model the views use.
    std::unique_ptr<SettingsSync> m_settingsSync;
    std::unique_ptr<Guidance> m_guidance;
    std::unique_ptr<PlaylistEditor> m_playlists;
    std::unique_ptr<CatalogPages> m_catalog;
    std::unique_ptr<SaverLauncher> m_saverLauncher;
    // The shell.
    std::unique_ptr<MainWindowController> m_mainWindow;
    std::unique_ptr<PhotoStoryPresenter> m_stories;
    std::unique_ptr<MenuBarContent> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_trayIcon;
    std::unique_ptr<UpdateOffer> m_updateOffer;
};

} // namespace lumi
