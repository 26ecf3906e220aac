#include "app/Application.h"

#include "app/AppIcon.h"
#include "app/AppStyle.h"
#include "app/KeyNameTranslator.h"
#include "app/MainWindowController.h"
#include "app/MenuBarContent.h"
#include "app/SheetFocus.h"
#include "app/UpdateOffer.h"
#include "app/WindowRelay.h"
#include "imaging/BundledFonts.h"
#include "imaging/ImagingThread.h"
#include "library/DataDirectory.h"
#include "library/PlaylistSync.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/AppLog.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/InFlightFiles.h"
#include "platform/Autostart.h"
#include "platform/FileRevealer.h"
#include "platform/Hotkeys.h"
#include "platform/IdleSource.h"
#include "platform/InputActivity.h"
#include "platform/LinkOpener.h"
#include "platform/Notifier.h"
#include "platform/Pickers.h"
#include "platform/ProcessControl.h"
#include "platform/Screens.h"
#include "platform/TerminationRequests.h"
#include "platform/Trash.h"
#include "platform/WakeWatcher.h"
#include "platform/WallpaperSetter.h"
#include "platform/linux/LinuxPlatform.h"
#include "player/GlobalShortcuts.h"
#include "player/IdleMonitor.h"
#include "player/PhotoLoader.h"
#include "player/windows/PlayerController.h"
#include "services/ChangeFailureNotice.h"
#include "services/DailyNotifier.h"
#include "services/DesktopReplacedEvent.h"
#include "services/Diagnostics.h"
#include "services/EventTracker.h"
#include "services/Updater.h"
#include "sheets/PhotoStoryWindowController.h"
#include "state/AppModel.h"
#include "state/CatalogPages.h"
#include "state/Guidance.h"
#include "state/PlaylistEditor.h"
#include "state/SaverLauncher.h"
#include "state/SettingsSync.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/RotationEngine.h"
#include "wallpaper/WallpaperService.h"

#include <QApplication>
#include <QCursor>
#include <QLocale>
#include <QMenu>
#include <QRandomGenerator>
#include <QSystemTrayIcon>
#include <QThreadPool>

using namespace Qt::StringLiterals;

namespace lumi {

Application::Application(Options options, StartupServices startup)
    : m_options(options), m_singleInstance(std::move(startup.singleInstance)),
      m_systemTray(std::move(startup.systemTray)), m_crashHandlers(std::move(startup.crashHandlers)),
      m_olderApp(std::move(startup.olderApp)), m_updates(std::move(startup.updates)),
      m_clock(std::move(startup.clock))
{
}

Application::~Application()
{
    if (m_keyNames)
        QCoreApplication::removeTranslator(m_keyNames.get());
}

int Application::run()
{
    // Queued: a hand-over may finish before the event loop runs.
    connect(this, &Application::handedOver, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    m_terminationRequests = LinuxPlatform::terminationRequests();
    connect(m_terminationRequests.get(), &TerminationRequests::requested, qApp, &QCoreApplication::quit);
    start();
    const int status = QApplication::exec();
    // Decoding and composing still running on pool threads use fonts and images, which go with
    // the GUI application: they end first.
    QThreadPool::globalInstance()->waitForDone();
    ImagingThread::pool().waitForDone();
    return status;
}

Application::Start Application::start()
{
    QCoreApplication::setApplicationName(u"Lumivale"_s);
    QCoreApplication::setOrganizationDomain(u"lumivale.com"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVALE_VERSION));
    // The installed desktop entry's name; on X11 its StartupWMClass is the window class Qt derives
    // from the application name.
    QGuiApplication::setDesktopFileName(u"lumivale-desktop"_s);
    QGuiApplication::setWindowIcon(AppIcon::icon());
    // Closing the main window leaves the app in the tray.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    BundledFonts::ensureRegistered();
    AppStyle::install();
    SheetFocus::install();

    const AppLog log(u"app"_s);
    log.info(u"Lumivale Desktop "_s + QCoreApplication::applicationVersion() + u" starting"_s +
             (m_options.autostart ? u" at login"_s : QString()));

    if (!m_singleInstance->claim()) {
        handOver();
        return Start::handingOver;
    }
    const QStringList languages = Defaults::shared().get(keys::appleLanguages);
    if (!languages.isEmpty() && !languages.first().isEmpty())
        QLocale::setDefault(QLocale(languages.first()));
    m_crashReporter.install(*m_crashHandlers);
    // A later copy of the app, started by the user, is the way in when there is no tray. One that
    // comes while the older app is still quitting is answered once the window exists.
    connect(m_singleInstance.get(), &SingleInstance::activationRequested, this, [this] {
        if (m_mainWindow)
            m_mainWindow->showMainWindow();
        else
            m_activationPending = true;
    });
    // Goes on at once unless running copies of the older app are given time to quit.
    launchAfterTakeover();
    return Start::running;
}

QCoro::Task<void> Application::launchAfterTakeover()
{
    co_await m_olderApp->takeOver();
    // After the take-over, which decides whether there is anything to carry over, and before the
    // launch, which reads the session it may have written.
    m_olderApp->carryOverSettings();
    m_api = std::make_unique<APIClient>(m_crashReporter);
    if (!m_updates)
        m_updates = std::make_unique<Updater>(m_api->network(), LinuxPlatform::clock(), Defaults::shared());
    m_updates->start();

    createModel();
    createShell();
    m_model->launch();

    // Signed out, launch has shown the window; still launching, the model shows it when it knows.
    // At login a signed-in user starts quietly in the tray, unless there is no tray to start in.
    const bool trayAvailable = m_systemTray->isAvailable();
    if (m_activationPending ||
        (m_model->phase() == AppModel::Phase::ready && (!m_options.autostart || !trayAvailable)))
        m_mainWindow->showMainWindow();
    if (m_olderApp->oldAppLeftInPlace())
        m_model->setElectronNoticeRequested(true);
}

QCoro::Task<void> Application::handOver()
{
    co_await m_singleInstance->handOver();
    emit handedOver();
}

void Application::createModel()
{
    m_keyNames = std::make_unique<KeyNameTranslator>();
    QCoreApplication::installTranslator(m_keyNames.get());

    if (!m_clock)
        m_clock = LinuxPlatform::clock();
    m_autostart = LinuxPlatform::autostart();
    m_links = LinuxPlatform::linkOpener();
    m_revealer = LinuxPlatform::fileRevealer();
    m_pickers = LinuxPlatform::pickers();
    m_trash = LinuxPlatform::trash();
    m_processes = LinuxPlatform::processControl();
    m_dataDirectory = std::make_unique<DataDirectory>(Defaults::shared(), *m_pickers, *m_trash, *m_processes);
    m_account = std::make_unique<Account>();
    m_crashReporter.attach(*m_api, *m_account, *m_clock);
    // The rotation reports to it too.
    m_events = std::make_unique<EventTracker>(*m_account, *m_api, *m_clock, Defaults::shared());
    createWallpaperServices();
    createSaverServices();

    m_notifier = LinuxPlatform::notifier();
    auto notifications = std::make_unique<DailyNotifier>(DailyNotifier::Services{
        .account = *m_account,
        .api = *m_api,
        .clock = *m_clock,
        .defaults = Defaults::shared(),
        .player = *m_player,
        .notifier = *m_notifier,
    });
    // A click on today's notification opens the main window on today's photos.
    connect(notifications.get(), &DailyNotifier::todayRequested, this, [this] {
        m_guidance->setShowTodayRequested(true);
        m_mainWindow->showMainWindow();
    });
    m_notifications = std::move(notifications);
    // A tray user learns from the desktop that the wallpaper stands still; a click shows the window.
    m_changeFailureNotice = std::make_unique<ChangeFailureNotice>(*m_rotation, *m_notifier);
    connect(m_changeFailureNotice.get(), &ChangeFailureNotice::opened, this, [this] {
        if (m_mainWindow)
            m_mainWindow->showMainWindow();
    });
    m_diagnostics = std::make_unique<Diagnostics>(*m_api, *m_rotation, *m_account);

    m_takeover = std::make_unique<DesktopReplacedEvent>(Defaults::shared(), *m_account, *m_events);

    m_windowRelay = std::make_unique<WindowRelay>();
    m_model = std::make_unique<AppModel>(ModelServices{
        .account = *m_account,
        .clock = *m_clock,
        .defaults = Defaults::shared(),
        .api = *m_api,
        .rotation = *m_rotation,
        .sync = *m_sync,
        .idle = *m_idle,
        .shortcuts = *m_shortcuts,
        .player = *m_player,
        .window = *m_windowRelay,
        .events = *m_events,
        .notifications = *m_notifications,
        .takeover = *m_takeover,
        .autostart = *m_autostart,
        .links = *m_links,
        .screens = *m_screens,
    });
    m_settingsSync = std::make_unique<SettingsSync>(SettingsSync::Services{
        .model = *m_model,
        .account = *m_account,
        .defaults = Defaults::shared(),
        .notifications = *m_notifications,
        .autostart = *m_autostart,
        .events = *m_events,
        .rotation = *m_rotation,
    });
    m_guidance = std::make_unique<Guidance>(*m_model, *m_account, *m_clock, *m_windowRelay, *m_events,
                                            *m_settingsSync);
    m_playlists = std::make_unique<PlaylistEditor>(PlaylistEditor::Services{
        .model = *m_model,
        .guidance = *m_guidance,
        .api = *m_api,
        .defaults = Defaults::shared(),
        .sync = *m_sync,
        .rotation = *m_rotation,
        .events = *m_events,
        .pickers = *m_pickers,
        .trash = *m_trash,
    });
    m_catalog = std::make_unique<CatalogPages>(*m_model, *m_account, *m_clock, *m_api, *m_sync);
    m_saverLauncher = std::make_unique<SaverLauncher>(*m_model, *m_catalog, *m_account, *m_clock, *m_api,
                                                      *m_sync, *m_player);
    // What the rotation and the sync tell the model.
    connect(m_rotation.get(), &RotationEngine::alertRaised, m_model.get(),
            [this](const QString& alert) { m_model->setAlert(alert); });
    connect(m_sync.get(), &PlaylistSync::poolFoldersChanged, m_model.get(), &AppModel::resetPhotoPools);
    connect(m_sync.get(), &PlaylistSync::poolFoldersChanged, m_saverLauncher.get(),
            &SaverLauncher::resetSaverPool);
    connect(m_sync.get(), &PlaylistSync::passCompleted, m_rotation.get(), &RotationEngine::rebuildPool);
    connect(m_sync.get(), &PlaylistSync::listingsRestored, m_rotation.get(), &RotationEngine::rebuildPool);
    connect(qApp, &QGuiApplication::applicationStateChanged, m_model.get(),
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive)
                    m_model->applicationActivated();
            });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Application::quitting);
}

void Application::createWallpaperServices()
{
    m_screens = LinuxPlatform::screens();
    m_wake = LinuxPlatform::wakeWatcher(*m_clock);
    m_wallpaperSetter = LinuxPlatform::wallpaperSetter(*m_screens);

    m_sync = std::make_unique<PlaylistSync>(PlaylistSync::Services{
        .account = *m_account,
        .defaults = Defaults::shared(),
        .api = *m_api,
        .screens = *m_screens,
        .clock = *m_clock,
        .reporter = m_crashReporter,
    });
    m_syncedPhotos =
        std::make_unique<LibrarySyncedPhotos>(m_sync->layout().base, *m_sync, Defaults::shared());

    auto wallpapers = std::make_unique<WallpaperService>(m_api->network(), *m_wallpaperSetter, *m_clock,
                                                         m_crashReporter, *m_syncedPhotos);
    // A cleared cache composes what is on screen anew.
    wallpapers->setRedrawRequest([this] { m_rotation->redrawNow(); });
    m_wallpapers = wallpapers.get();
    m_rotation = std::make_unique<RotationEngine>(
        RotationEngine::Services{
            .account = *m_account,
            .clock = *m_clock,
            .defaults = Defaults::shared(),
            .api = *m_api,
            .screens = *m_screens,
            .wake = *m_wake,
            .library = *m_sync,
            .events = *m_events,
        },
        std::move(wallpapers));
}

void Application::createSaverServices()
{
    m_photoLoader = std::make_unique<PhotoLoader>(*m_sync, m_api->network(), *m_screens);
    m_inputActivity = LinuxPlatform::inputActivity();
    m_player = std::make_unique<PlayerController>(PlayerController::Services{
        .photos = *m_photoLoader,
        .clock = *m_clock,
        .defaults = Defaults::shared(),
        .input = *m_inputActivity,
        .random = *QRandomGenerator::global(),
    });
    // Both start the saver through the launcher, made after the model that drives them; they call
    // it from the event loop only, which runs while it exists.
    const auto startSaver = [this] { return m_saverLauncher->startSaverNow(std::nullopt); };
    m_idleSource = LinuxPlatform::idleSource();
    m_idle = std::make_unique<IdleMonitor>(*m_account, *m_player, *m_idleSource, *m_clock, startSaver);
    m_hotkeys = LinuxPlatform::hotkeys();
    m_shortcuts = std::make_unique<GlobalShortcuts>(*m_hotkeys, *m_rotation, startSaver);
}

BrowserServices Application::browserServices() const
{
    return {*m_playlists, *m_catalog, *m_guidance, *m_rotation, *m_screens,  Defaults::shared(),
            *m_events,    *m_sync,    *m_clock,    *m_links,    *m_revealer, *m_saverLauncher};
}

void Application::createShell()
{
    m_mainWindow = std::make_unique<MainWindowController>(*m_model, Defaults::shared(), *m_olderApp, *m_links,
                                                          *m_systemTray, browserServices(),
                                                          SettingsServices{
                                                              .errors = *m_model,
                                                              .account = *m_account,
                                                              .settingsSync = *m_settingsSync,
                                                              .links = *m_links,
                                                              .clock = *m_clock,
                                                              .events = *m_events,
                                                              .rotation = *m_rotation,
                                                              .engine = *m_rotation,
                                                              .photos = *m_photoLoader,
                                                              .sync = *m_sync,
                                                              .playlists = *m_playlists,
                                                              .dataDirectory = *m_dataDirectory,
                                                              .wallpapers = *m_wallpapers,
                                                              .updates = *m_updates,
                                                              .saver = *m_saverLauncher,
                                                              .shortcuts = *m_shortcuts,
                                                              .tests = m_diagnostics.get(),
                                                          });
    m_windowRelay->setTarget(m_mainWindow.get());
    connect(m_mainWindow.get(), &MainWindowController::quitRequested, qApp, &QCoreApplication::quit);

    m_stories = std::make_unique<PhotoStoryWindowController>(*m_api, *m_guidance, *m_mainWindow);
    m_menu = std::make_unique<MenuBarContent>(*m_model, MenuBarContent::Services{
                                                            .playlists = *m_playlists,
                                                            .guidance = *m_guidance,
                                                            .saver = *m_saverLauncher,
                                                            .rotation = *m_rotation,
                                                            .shortcuts = *m_shortcuts,
                                                            .window = *m_mainWindow,
                                                            .stories = *m_stories,
                                                        });
    connect(m_menu.get(), &MenuBarContent::quitRequested, qApp, &QCoreApplication::quit);
    m_trayIcon = std::make_unique<QSystemTrayIcon>(AppIcon::icon());
    m_trayIcon->setToolTip(u"Lumivale"_s);
    m_trayIcon->setContextMenu(m_menu->menu());
    // Like a menu-bar icon, a plain click opens the menu too.
    connect(m_trayIcon.get(), &QSystemTrayIcon::activated, m_menu.get(),
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    m_menu->menu()->popup(QCursor::pos());
            });
    m_updateOffer = std::make_unique<UpdateOffer>(*m_links);
    connect(m_updates.get(), &SoftwareUpdates::updateAvailable, m_updateOffer.get(), &UpdateOffer::offer);
    if (m_systemTray->isAvailable())
        m_trayIcon->show();
    else
        AppLog(u"app"_s).info(u"no system tray found; the main window is the way into the app"_s);
}

void Application::quitting()
{
    // Downloads and pictures still being written will never be finished now.
    const int unfinished = InFlightFiles::removeAll();
    AppLog(u"app"_s).info(unfinished > 0 ? u"quitting; %1 unfinished files removed"_s.arg(unfinished)
                                         : u"quitting"_s);
    m_events->track(u"app-closed"_s, {});
}

} // namespace lumi
