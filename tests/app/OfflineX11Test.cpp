#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "app/MenuBarContent.h"
#include "browser/BrowserToolbar.h"
#include "browser/BrowserView.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "library/DataDirectory.h"
#include "library/LibraryLayout.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "state/AppModel.h"
#include "state/Guidance.h"
#include "support/FakeNotificationServer.h"
#include "support/LogLines.h"
#include "support/ManualClock.h"
#include "support/PrivateSessionBus.h"
#include "support/PrivateXServer.h"
#include "support/SandboxFixture.h"
#include "support/TestImages.h"
#include "support/app/AppRig.h"
#include "support/state/CallJournal.h"
#include "wallpaper/FailureBackoff.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::Application;
using lumi::AppModel;
using lumi::test::AppRig;
using lumi::test::FakeNotificationServer;
using lumi::test::SandboxFixture;

namespace {

lumi::test::PrivateSessionBus* bus = nullptr;

const QString notificationService = u"org.freedesktop.Notifications"_s;
const QString notificationPath = u"/org/freedesktop/Notifications"_s;

/// Every answer of the service lost on the way, as when the network is not up yet.
const QList<QJsonObject> outOfReach{{{u"path"_s, u"/api/v6/*"_s}, {u"drop"_s, true}},
                                    {{u"path"_s, u"/cdn/*"_s}, {u"drop"_s, true}}};

QStringList texts(const QList<QAction*>& actions)
{
    QStringList result;
    for (const QAction* action : actions)
        result.append(action->text());
    return result;
}

} // namespace

/// What a user meets when the service is out of reach, at a start before the network is up and
/// later: the composed app against the sandbox with its faults, on an X server of the test's own
/// (the global shortcuts) and a private session bus where the test plays the notification service.
/// The app's clock is the test's, so retries and back-offs come when the test moves it.
class OfflineX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void offlineStartSaysSoAndFillsInWhenTheServiceAnswers_data();
    void offlineStartSaysSoAndFillsInWhenTheServiceAnswers();
    void saverPlaysWhatIsSyncedOffline_data();
    void saverPlaysWhatIsSyncedOffline();
    void failedActionFromTheTrayIsSaid();
    void failingChangesAreToldOnce();
    void settingsSayWhenNotificationsCantBeShown_data();
    void settingsSayWhenNotificationsCantBeShown();

private:
    /// Starts the app on the demo account's session of an earlier run; out of reach from the start
    /// unless online.
    Application& launch(bool online);
    void goOffline();
    AppModel& model() const { return *m_rig.app->model(); }
    lumi::MainWindow* window() const { return m_rig.app->mainWindow()->window(); }
    lumi::BrowserView* browser() const
    {
        return window() ? window()->findChild<lumi::BrowserView*>() : nullptr;
    }
    /// The tray menu as it opens now.
    QStringList menu() const;
    QAction* menuItem(const QString& text) const;
    /// The texts of the visible labels in the widget.
    static QStringList shownTexts(const QWidget* root);
    QStringList sidebarRows() const;
    QWidget* findShown(const QString& objectName) const;
    int requestsTo(const QString& method, const QString& path);
    /// Moves the app's clock in steps of its shortest wait, so every sleeper wakes in its turn.
    void advance(std::chrono::seconds by);
    /// Moves the clock step by step until the condition holds; false when it never did, also not in
    /// a while after the last step.
    bool advanceUntil(const std::function<bool()>& condition, std::chrono::seconds limit);

    std::unique_ptr<SandboxFixture> m_sandbox;
    lumi::test::CallJournal m_journal;
    AppRig m_rig{m_journal};
    lumi::test::ManualClock* m_clock = nullptr;
    std::unique_ptr<FakeNotificationServer> m_notifications;
};

void OfflineX11Test::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_notifications = std::make_unique<FakeNotificationServer>();
    QDBusConnection service = bus->connect(u"notifications"_s);
    QVERIFY(service.registerService(notificationService));
    QVERIFY(service.registerObject(notificationPath, m_notifications.get(),
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    m_journal.clear();
}

void OfflineX11Test::cleanup()
{
    if (m_rig.app && m_rig.app->model())
        QTRY_COMPARE(m_rig.app->model()->runningTasks(), 0);
    m_rig.app.reset();
    m_clock = nullptr;
    QDBusConnection service = bus->connect(u"notifications"_s);
    service.unregisterObject(notificationPath);
    service.unregisterService(notificationService);
    m_notifications.reset();
    m_sandbox.reset();
}

Application& OfflineX11Test::launch(bool online)
{
    // The idle saver stays out of the way of a test that moves the clock by minutes.
    const QString token = m_sandbox->signInToken();
    m_sandbox->call("PUT", u"users"_s, token, {{u"user"_s, QJsonObject{{u"saver_idle"_s, u"never"_s}}}});
    AppRig::leaveSession(*m_sandbox);
    if (!online)
        goOffline();
    m_sandbox->clearRequests();
    auto clock = std::make_unique<lumi::test::ManualClock>(QDateTime(QDate(2026, 12, 10), QTime(12, 0)));
    m_clock = clock.get();
    Application& app =
        m_rig.make({.autostart = false, .tray = true, .anotherCopyRuns = false, .clock = std::move(clock)});
    app.start();
    return app;
}

void OfflineX11Test::goOffline()
{
    for (const QJsonObject& fault : outOfReach)
        QVERIFY(m_sandbox->addFault(fault));
}

QStringList OfflineX11Test::menu() const
{
    QMenu* tray = m_rig.app->menu()->menu();
    emit tray->aboutToShow();
    return texts(tray->actions());
}

QAction* OfflineX11Test::menuItem(const QString& text) const
{
    menu();
    const QList<QAction*> actions = m_rig.app->menu()->menu()->actions();
    const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                    [&](const QAction* action) { return action->text() == text; });
    return found == actions.cend() ? nullptr : *found;
}

QStringList OfflineX11Test::shownTexts(const QWidget* root)
{
    QStringList result;
    if (!root)
        return result;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (label->isVisibleTo(root->window()) && !label->text().isEmpty())
            result.append(label->text());
    }
    return result;
}

QStringList OfflineX11Test::sidebarRows() const
{
    QStringList rows;
    if (const lumi::BrowserView* view = browser()) {
        for (const lumi::SidebarRow* row : view->findChildren<lumi::SidebarRow*>()) {
            if (row->isVisibleTo(view->window()))
                rows.append(row->title());
        }
    }
    return rows;
}

QWidget* OfflineX11Test::findShown(const QString& objectName) const
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (auto* found = top->findChild<QWidget*>(objectName); found && found->isVisible())
            return found;
    }
    return nullptr;
}

int OfflineX11Test::requestsTo(const QString& method, const QString& path)
{
    const QJsonArray requests = m_sandbox->requests();
    return int(std::count_if(requests.begin(), requests.end(), [&](const QJsonValue& request) {
        return request[u"method"_s] == method && request[u"path"_s] == path;
    }));
}

void OfflineX11Test::advance(std::chrono::seconds by)
{
    for (std::chrono::seconds step = 10s; by > 0s; by -= step) {
        m_clock->advance(std::min(step, by));
        QTest::qWait(20);
    }
}

bool OfflineX11Test::advanceUntil(const std::function<bool()>& condition, std::chrono::seconds limit)
{
    for (std::chrono::seconds moved = 0s; moved <= limit; moved += 10s) {
        // The work a step woke goes over the network; a step more before it ends only brings the
        // next try closer, and that is a back-off away.
        if (QTest::qWaitFor(condition, 300))
            return true;
        m_clock->advance(10s);
    }
    // The last try may still be on its way on a busy machine.
    return QTest::qWaitFor(condition, 30'000);
}

void OfflineX11Test::offlineStartSaysSoAndFillsInWhenTheServiceAnswers_data()
{
    QTest::addColumn<int>("modeKey");
    QTest::addColumn<QString>("offlineText");
    QTest::addColumn<QString>("title");

    QTest::newRow("home") << int(Qt::Key_1)
                          << u"Can't reach Lumivale. The photos appear here once it answers."_s
                          << u"Latest"_s;
    QTest::newRow("playlists") << int(Qt::Key_2)
                               << u"Can't reach Lumivale. Your playlists appear here once it answers."_s
                               << u"Favorites"_s;
}

void OfflineX11Test::offlineStartSaysSoAndFillsInWhenTheServiceAnswers()
{
    QFETCH(int, modeKey);
    QFETCH(QString, offlineText);
    QFETCH(QString, title);

    launch(false);
    QTRY_VERIFY(model().isOffline());
    QCOMPARE(model().phase(), AppModel::Phase::ready);
    // The shortcuts are the cached user's from the start. (The item reads "Changing…" while the
    // first change tries its luck.)
    const auto shortcutOf = [this](const QString& item) {
        const QAction* action = menuItem(item);
        return action ? action->shortcut() : QKeySequence();
    };
    QTRY_COMPARE(shortcutOf(u"Next Wallpaper"_s), QKeySequence(Qt::META | Qt::SHIFT | Qt::Key_W));
    QCOMPARE(shortcutOf(u"Start Screen Saver"_s), QKeySequence(Qt::META | Qt::SHIFT | Qt::Key_S));
    QVERIFY(menu().contains(u"Offline — will retry"_s));

    QTRY_VERIFY(window() && window()->isVisible() && browser());
    const QList<QAbstractButton*> buttons = browser()->toolbar().findChildren<QAbstractButton*>();
    const auto mode = std::find_if(buttons.cbegin(), buttons.cend(), [&](const QAbstractButton* button) {
        return button->shortcut() == QKeySequence(Qt::CTRL | Qt::Key(modeKey));
    });
    QVERIFY(mode != buttons.cend());
    QTest::mouseClick(*mode, Qt::LeftButton);
    // Nothing loaded is not an empty catalog.
    QTRY_VERIFY2(shownTexts(browser()->content()).contains(offlineText),
                 qPrintable(shownTexts(browser()->content()).join(u" | "_s)));
    QVERIFY(!shownTexts(browser()->content()).contains(u"No playlists yet"_s));
    // The sidebar is built again as the state changes: its line may be a turn of the loop behind.
    QTRY_VERIFY2(shownTexts(browser()).contains(u"Offline — will retry"_s),
                 qPrintable(shownTexts(browser()).join(u" | "_s)));

    // The service answers again; the next retry brings everything in by itself.
    m_sandbox->clearFaults();
    advance(30s);
    QTRY_VERIFY_WITH_TIMEOUT(!model().isOffline(), 30'000);
    QTRY_COMPARE_WITH_TIMEOUT(window()->windowTitle(), title, 30'000);
    QTRY_VERIFY_WITH_TIMEOUT(!browser()->state().gridMedia().isEmpty(), 30'000);
    QVERIFY(!shownTexts(browser()).contains(u"Offline — will retry"_s));
    QVERIFY(!menu().contains(u"Offline — will retry"_s));
    QVERIFY(requestsTo(u"GET"_s, u"/api/v6/albums"_s) > 0);
    QVERIFY(requestsTo(u"GET"_s, u"/api/v6/configuration/categories"_s) > 0);
    if (modeKey == Qt::Key_1)
        QVERIFY(sidebarRows().contains(u"Landscapes"_s));
}

void OfflineX11Test::saverPlaysWhatIsSyncedOffline_data()
{
    QTest::addColumn<int>("synced");

    QTest::newRow("photos synced for the saver") << 2;
    QTest::newRow("nothing synced") << 0;
}

void OfflineX11Test::saverPlaysWhatIsSyncedOffline()
{
    QFETCH(int, synced);
    const QString saverFolder =
        lumi::LibraryLayout::at(lumi::DataDirectory::current(lumi::Defaults::shared())).saverDir;
    QVERIFY(QDir().mkpath(saverFolder));
    for (int i = 0; i < synced; ++i) {
        QFile photo(saverFolder + u"/Alpine Lake %1-0a1b2c3%1.jpg"_s.arg(i));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write(lumi::test::jpegOf(lumi::test::solidImage({640, 360}, Qt::darkCyan)));
    }

    launch(false);
    QTRY_VERIFY(model().isOffline());
    QAction* start = menuItem(u"Start Screen Saver"_s);
    QVERIFY(start);
    start->trigger();
    if (synced > 0) {
        QTRY_VERIFY_WITH_TIMEOUT(lumi::test::logLines(u"player"_s).filter(u"saver started"_s).size() == 1,
                                 30'000);
        QCOMPARE(model().alert(), std::nullopt);
        return;
    }
    // Nothing to play: said once, not at every try.
    QTRY_VERIFY(model().alert().has_value());
    QVERIFY2(model().alert()->contains(u"Lumivale can't be reached"_s), qPrintable(*model().alert()));
    model().setAlert(std::nullopt);
    menuItem(u"Start Screen Saver"_s)->trigger();
    QTRY_COMPARE(lumi::test::logLines(u"app"_s).filter(u"saver: no photos to play"_s).size(), 2);
    QCOMPARE(model().alert(), std::nullopt);
    QVERIFY(lumi::test::logLines(u"player"_s).filter(u"saver started"_s).isEmpty());
}

void OfflineX11Test::failedActionFromTheTrayIsSaid()
{
    // What the last run showed, so the tray offers it as a favorite.
    const QJsonObject photo =
        m_sandbox->call("GET", u"media/classic/latest?per_page=1"_s, m_sandbox->signInToken())
            .json()[u"media"_s][0]
            .toObject();
    QVERIFY(!photo.isEmpty());
    lumi::Defaults::shared().setValue(lumi::keys::nowShowing,
                                      QJsonDocument(photo).toJson(QJsonDocument::Compact));
    launch(false);
    QTRY_VERIFY(model().isOffline());
    QAction* add = menuItem(u"Add to Favorites"_s);
    QVERIFY(add);
    add->trigger();

    QTRY_COMPARE(model().alert(), std::optional(AppModel::offlineActionMessage()));
    QTRY_VERIFY(m_rig.app->mainWindow()->isMainWindowVisible());
    // The tray's line promises only the loading it really retries: the addition stays undone. (The
    // POST may never reach the sandbox: Qt may find its kept-alive connection already dropped.)
    const int tried = requestsTo(u"POST"_s, u"/api/v6/albums/favorites"_s);
    m_sandbox->clearFaults();
    advance(30s);
    QTRY_VERIFY_WITH_TIMEOUT(!model().isOffline(), 30'000);
    QCOMPARE(requestsTo(u"POST"_s, u"/api/v6/albums/favorites"_s), tried);
}

void OfflineX11Test::failingChangesAreToldOnce()
{
    // Every photo the rotation could show fails to arrive.
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/cdn/*"_s}, {u"status"_s, 503}}));
    launch(true);
    const auto failed = [](int times) {
        return [times] {
            return lumi::test::logLines(u"rotation"_s).filter(u"change failed"_s).size() == times;
        };
    };
    const std::chrono::seconds retry = lumi::FailureBackoff::retryDelay + 30s;
    QVERIFY(QTest::qWaitFor(failed(1), 30'000));

    // A failure and its first retry are no news yet.
    QVERIFY(advanceUntil(failed(2), retry));
    QVERIFY(!menu().contains(u"Wallpaper changes keep failing"_s));
    QVERIFY(m_notifications->shown.isEmpty());

    QVERIFY(advanceUntil(failed(3), retry));
    QTRY_COMPARE(m_notifications->shown.size(), 1);
    QCOMPARE(m_notifications->shown.first().summary, u"Your wallpaper isn't changing"_s);
    QVERIFY(menu().contains(u"Wallpaper changes keep failing"_s));
    m_rig.app->guidance()->requestSettings(lumi::SettingsSection::wallpaper);
    QTRY_VERIFY(findShown(u"wallpaper.note"_s));
    const auto note = [this] { return qobject_cast<QLabel*>(findShown(u"wallpaper.note"_s))->text(); };
    QVERIFY2(note().startsWith(u"Your wallpaper isn't changing: "_s), qPrintable(note()));

    // Said once, however long it lasts.
    QVERIFY(advanceUntil(failed(4), retry));
    QTest::qWait(200);
    QCOMPARE(m_notifications->shown.size(), 1);

    // Once a change works, nothing claims otherwise.
    m_sandbox->clearFaults();
    QVERIFY(advanceUntil([this] { return !menu().contains(u"Wallpaper changes keep failing"_s); }, retry));
    QVERIFY2(note().startsWith(u"Your wallpaper rotates"_s), qPrintable(note()));
}

void OfflineX11Test::settingsSayWhenNotificationsCantBeShown_data()
{
    QTest::addColumn<bool>("service");

    QTest::newRow("a notification service") << true;
    QTest::newRow("no notification service") << false;
}

void OfflineX11Test::settingsSayWhenNotificationsCantBeShown()
{
    QFETCH(bool, service);
    if (!service) {
        QDBusConnection connection = bus->connect(u"notifications"_s);
        connection.unregisterObject(notificationPath);
        QVERIFY(connection.unregisterService(notificationService));
    }
    launch(true);
    QTRY_COMPARE(model().phase(), AppModel::Phase::ready);
    m_rig.app->guidance()->requestSettings(lumi::SettingsSection::application);
    QTRY_VERIFY(findShown(u"application.notifications"_s));
    auto* toggle = qobject_cast<QCheckBox*>(findShown(u"application.notifications"_s));
    // The demo account asks for today's photos.
    QTRY_COMPARE(toggle->isEnabled(), service);
    QCOMPARE(toggle->isChecked(), service);
    QCOMPARE(findShown(u"application.notificationsUnavailable"_s) != nullptr, !service);
}

int main(int argc, char** argv)
{
    const lumi::test::PrivateXServer server;
    if (server.display().isEmpty()) {
        qCritical("%s", qPrintable(server.error()));
        return 1;
    }
    lumi::test::PrivateSessionBus sessionBus;
    if (sessionBus.address().isEmpty()) {
        qCritical("%s", qPrintable(sessionBus.error()));
        return 1;
    }
    bus = &sessionBus;
    // The app's session bus is the test's; Qt connects to the display when the application is made.
    qputenv("DBUS_SESSION_BUS_ADDRESS", sessionBus.address().toUtf8());
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status = 0;
    {
        QApplication app(argc, argv);
        OfflineX11Test test;
        status = QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "OfflineX11Test.moc"
