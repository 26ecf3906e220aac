#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "app/MenuBarContent.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "state/AppModel.h"
#include "state/Guidance.h"
#include "support/LogLines.h"
#include "support/SandboxFixture.h"
#include "support/app/AppRig.h"
#include "support/state/CallJournal.h"

#include <QApplication>
#include <QDirIterator>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using lumi::Application;
using lumi::AppModel;
using lumi::test::AppRig;
using lumi::test::CallJournal;
using lumi::test::SandboxFixture;

namespace {

template <typename Widget> Widget* findVisible(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = window->findChild<Widget*>(name); found && found->isVisible())
            return found;
    }
    return nullptr;
}

} // namespace

class StartupTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsInOrderAndShowsTheWindowWhenWanted_data();
    void startsInOrderAndShowsTheWindowWhenWanted();
    void secondCopyOnlyHandsOver();
    void laterCopyBringsTheWindowForward();
    void copyAskingDuringTheTakeOverGetsTheWindow();
    void signedInUsersRunTheSupportTests();
    void returnAfterRunClearsNothing();
    void appliesTheStoredLanguage_data();
    void appliesTheStoredLanguage();
    void quittingMidDownloadLeavesNothingHalfWritten_data();
    void quittingMidDownloadLeavesNothingHalfWritten();

private:
    /// What an earlier run left: a session token and the cached user.
    void leaveSession();
    Application& launch(bool autostart, bool tray, bool anotherCopyRuns = false);
    /// Starts signed in and opens the settings on Support; its "Run" button, none when that fails.
    QPushButton* openSupportSignedIn();
    bool windowShown() const;

    std::unique_ptr<SandboxFixture> m_sandbox;
    CallJournal m_journal;
    AppRig m_rig{m_journal};
};

void StartupTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_journal.clear();
}

void StartupTest::cleanup()
{
    if (m_rig.app && m_rig.app->model())
        QTRY_COMPARE(m_rig.app->model()->runningTasks(), 0);
    m_rig.app.reset();
    m_sandbox.reset();
    QLocale::setDefault(QLocale::system());
}

void StartupTest::leaveSession()
{
    QVERIFY(AppRig::leaveSession(*m_sandbox));
}

Application& StartupTest::launch(bool autostart, bool tray, bool anotherCopyRuns)
{
    Application& app = m_rig.make(
        {.autostart = autostart, .tray = tray, .anotherCopyRuns = anotherCopyRuns, .clock = nullptr});
    // The model is made, and launched, only after the updates have started.
    m_rig.softwareUpdates->onStart = [this] {
        m_journal.record(m_rig.app->model() ? u"model exists"_s : u"no model yet"_s);
    };
    return app;
}

bool StartupTest::windowShown() const
{
    return m_rig.app->mainWindow() && m_rig.app->mainWindow()->isMainWindowVisible();
}

void StartupTest::startsInOrderAndShowsTheWindowWhenWanted_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("autostart");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<AppModel::Phase>("phase");
    QTest::addColumn<bool>("window");

    QTest::newRow("signed out") << false << false << true << AppModel::Phase::signedOut << true;
    QTest::newRow("signed out, at login") << false << true << true << AppModel::Phase::signedOut << true;
    QTest::newRow("signed in") << true << false << true << AppModel::Phase::ready << true;
    QTest::newRow("signed in, at login") << true << true << true << AppModel::Phase::ready << false;
    QTest::newRow("signed in, at login, no tray") << true << true << false << AppModel::Phase::ready << true;
}

void StartupTest::startsInOrderAndShowsTheWindowWhenWanted()
{
    QFETCH(bool, signedIn);
    QFETCH(bool, autostart);
    QFETCH(bool, tray);
    QFETCH(AppModel::Phase, phase);
    QFETCH(bool, window);

    if (signedIn)
        leaveSession();
    Application& app = launch(autostart, tray);
    QCOMPARE(app.start(), Application::Start::running);

    QCOMPARE(m_journal.calls(),
             (QStringList{u"singleInstance.claim"_s, u"crash.install"_s, u"olderApp.takeOver"_s,
                          u"olderApp.carryOverSettings"_s, u"updates.start"_s, u"no model yet"_s}));
    QVERIFY(app.model());
    QCOMPARE(app.model()->phase(), phase);
    QCOMPARE(windowShown(), window);
    QCOMPARE(app.trayIcon()->isVisible(), tray);
    // The app lives on in the tray when its window closes.
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
}

void StartupTest::secondCopyOnlyHandsOver()
{
    Application& app = launch(false, true, true);
    QSignalSpy handedOver(&app, &Application::handedOver);
    QCOMPARE(app.start(), Application::Start::handingOver);
    QTRY_COMPARE(handedOver.count(), 1);
    QCOMPARE(m_journal.calls(), (QStringList{u"singleInstance.claim"_s, u"singleInstance.handOver"_s}));
    QVERIFY(!app.model());
    QVERIFY(!app.mainWindow());
}

void StartupTest::laterCopyBringsTheWindowForward()
{
    leaveSession();
    Application& app = launch(true, true);
    app.start();
    QVERIFY(!windowShown());

    m_rig.singleInstanceLock->secondCopyStarted();
    QVERIFY(windowShown());
    QCOMPARE(app.model()->windowShown(), 1);
}

void StartupTest::copyAskingDuringTheTakeOverGetsTheWindow()
{
    leaveSession();
    // At login a signed-in user would start in the tray, without a window.
    Application& app = launch(true, true);
    m_rig.olderAppMigration->release = std::make_unique<QTimer>();
    m_rig.olderAppMigration->release->setSingleShot(true);
    m_rig.olderAppMigration->leftInPlace = true;
    QCOMPARE(app.start(), Application::Start::running);
    QVERIFY(!app.model());

    m_rig.singleInstanceLock->secondCopyStarted();
    m_rig.olderAppMigration->release->start(0);
    QTRY_VERIFY(app.model());
    QCOMPARE(m_journal.calls().mid(2, 3),
             (QStringList{u"olderApp.takeOver"_s, u"olderApp.carryOverSettings"_s, u"updates.start"_s}));
    QTRY_VERIFY(windowShown());
    QVERIFY(app.model()->electronNoticeRequested());
}

QPushButton* StartupTest::openSupportSignedIn()
{
    leaveSession();
    Application& app = launch(false, true);
    app.start();
    if (!QTest::qWaitFor([&] { return app.model() && app.model()->phase() == AppModel::Phase::ready; }))
        return nullptr;
    app.guidance()->requestSettings(lumi::SettingsSection::support);
    QPushButton* run = nullptr;
    if (!QTest::qWaitFor([&] { return (run = findVisible<QPushButton>(u"support.run"_s)) != nullptr; }))
        return nullptr;
    return run;
}

void StartupTest::signedInUsersRunTheSupportTests()
{
    const auto find = [](const QString& name) { return findVisible<QWidget>(name); };
    auto* run = openSupportSignedIn();
    QVERIFY(run && run->isEnabled());
    m_sandbox->clearRequests();
    QTest::mouseClick(run, Qt::LeftButton);

    const auto posted = [this](const QString& path) {
        const QJsonArray requests = m_sandbox->requests();
        return std::any_of(requests.begin(), requests.end(), [&](const QJsonValue& request) {
            return request[u"method"_s] == u"POST"_s && request[u"path"_s] == path;
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(posted(u"/api/v6/info"_s) && posted(u"/api/v6/rlogger"_s), 60'000);
    QTRY_VERIFY(find(u"support.result"_s));
    QVERIFY(!qobject_cast<QLabel*>(find(u"support.result"_s))->text().isEmpty());
    QVERIFY(run->isEnabled());
}

void StartupTest::returnAfterRunClearsNothing()
{
    QPushButton* run = openSupportSignedIn();
    QVERIFY(run);
    QWidget* settings = run->window();
    settings->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(settings));

    // Tab to "Run" and start it from the keyboard; the button goes grey while the tests run.
    run->setFocus(Qt::TabFocusReason);
    m_sandbox->clearRequests();
    QTest::keyClick(run, Qt::Key_Space);
    QVERIFY(!run->isEnabled());
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused);
    QVERIFY2(!focused->objectName().startsWith(u"photoFiles."_s), qPrintable(focused->objectName()));
    QTest::keyClick(focused, Qt::Key_Return);

    QTRY_VERIFY_WITH_TIMEOUT(run->isEnabled(), 60'000);
    const QStringList sync = lumi::test::logLines(u"sync"_s);
    QVERIFY2(std::none_of(sync.cbegin(), sync.cend(),
                          [](const QString& line) { return line.startsWith(u"clear files"_s); }),
             qPrintable(sync.join(u'\n')));
}

void StartupTest::appliesTheStoredLanguage_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QLocale::Language>("language");

    QTest::newRow("none") << QVariant() << QLocale::system().language();
    QTest::newRow("German") << QVariant(QStringList{u"de"_s}) << QLocale::German;
    QTest::newRow("first of two") << QVariant(QStringList{u"fr"_s, u"de"_s}) << QLocale::French;
    QTest::newRow("not a list") << QVariant(u"de"_s) << QLocale::system().language();
}

void StartupTest::appliesTheStoredLanguage()
{
    QFETCH(QVariant, stored);
    QFETCH(QLocale::Language, language);

    if (stored.isValid())
        lumi::Defaults::shared().setValue(lumi::keys::appleLanguages.name, stored);
    launch(false, true).start();
    QCOMPARE(QLocale().language(), language);
}

void StartupTest::quittingMidDownloadLeavesNothingHalfWritten_data()
{
    QTest::addColumn<bool>("signal");
    QTest::newRow("SIGTERM") << true;
    QTest::newRow("the tray menu's Quit") << false;
}

void StartupTest::quittingMidDownloadLeavesNothingHalfWritten()
{
    QFETCH(bool, signal);

    leaveSession();
    // No photo ever arrives: the sync's download and the wallpaper's are both in flight at quit.
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/cdn/*"_s}, {u"delayMs"_s, 120'000}}));
    const QString home = m_sandbox->homePath();
    const auto halfWritten = [&home] {
        QStringList found;
        QDirIterator files(home, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString name = files.fileName();
            if (name.endsWith(u".part"_s) || (name.startsWith(u'.') && name.contains(u".tmp-"_s)))
                found.append(path);
        }
        return found;
    };

    Application& app = launch(false, true);
    bool quitAsked = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        const QStringList parts = halfWritten();
        if (parts.filter(u"/Lumivale Playlist/"_s).isEmpty() ||
            parts.filter(u"/Wallpapers/Photos/"_s).isEmpty())
            return;
        watch.stop();
        quitAsked = true;
        if (signal) {
            ::raise(SIGTERM);
            return;
        }
        const QList<QAction*> actions = app.menu()->menu()->actions();
        const auto quit = std::find_if(actions.cbegin(), actions.cend(),
                                       [](QAction* action) { return action->text() == u"Quit Lumivale"_s; });
        QVERIFY(quit != actions.cend());
        (*quit)->trigger();
    });
    watch.start(20);
    // Ends the run when the downloads never show up.
    QTimer::singleShot(60'000, qApp, &QCoreApplication::quit);

    QCOMPARE(app.run(), 0);
    QVERIFY2(quitAsked, qPrintable(halfWritten().join(u", "_s)));
    QCOMPARE(halfWritten(), QStringList());
    m_rig.app.reset();
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
