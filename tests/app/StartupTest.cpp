#include "app/Application.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "state/AppModel.h"
#include "support/SandboxFixture.h"
#include "support/app/FixedSystemTray.h"
#include "support/app/RecordingSingleInstance.h"
#include "support/services/RecordingCrashHandlers.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/services/RecordingSoftwareUpdates.h"
#include "support/state/CallJournal.h"

#include <QGuiApplication>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Application;
using lumi::AppModel;
using lumi::test::CallJournal;
using lumi::test::SandboxFixture;

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

private:
    /// What an earlier run left: a session token and the cached user.
    void leaveSession();
    Application& launch(bool autostart, bool tray, bool anotherCopyRuns = false);
    bool windowShown() const;

    std::unique_ptr<SandboxFixture> m_sandbox;
    CallJournal m_journal;
    lumi::test::RecordingSingleInstance* m_singleInstance = nullptr;
    lumi::test::RecordingSoftwareUpdates* m_updates = nullptr;
    std::unique_ptr<Application> m_app;
};

void StartupTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_journal.clear();
}

void StartupTest::cleanup()
{
    if (m_app && m_app->model())
        QTRY_COMPARE(m_app->model()->runningTasks(), 0);
    m_app.reset();
    m_sandbox.reset();
}

void StartupTest::leaveSession()
{
    const QString token = m_sandbox->signInToken();
    QVERIFY(!token.isEmpty());
    lumi::SessionTokenFile::save(token);
    const QJsonObject user = m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s].toObject();
    lumi::Defaults::shared().setValue(lumi::keys::user, QJsonDocument(user).toJson(QJsonDocument::Compact));
}

Application& StartupTest::launch(bool autostart, bool tray, bool anotherCopyRuns)
{
    auto singleInstance = std::make_unique<lumi::test::RecordingSingleInstance>(m_journal, anotherCopyRuns);
    auto updates = std::make_unique<lumi::test::RecordingSoftwareUpdates>(m_journal);
    m_singleInstance = singleInstance.get();
    m_updates = updates.get();
    m_app = std::make_unique<Application>(
        Application::Options{.autostart = autostart},
        lumi::StartupServices{
            .singleInstance = std::move(singleInstance),
            .systemTray = std::make_unique<lumi::test::FixedSystemTray>(tray),
            .crashHandlers = std::make_unique<lumi::test::RecordingCrashHandlers>(m_journal),
            .olderApp = std::make_unique<lumi::test::RecordingOlderAppMigration>(m_journal),
            .updates = std::move(updates),
        });
    // The model is made, and launched, only after the updates have started.
    m_updates->onStart = [this] { m_journal.record(m_app->model() ? u"model exists"_s : u"no model yet"_s); };
    return *m_app;
}

bool StartupTest::windowShown() const
{
    return m_app->mainWindow() && m_app->mainWindow()->isMainWindowVisible();
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

    m_singleInstance->secondCopyStarted();
    QVERIFY(windowShown());
    QCOMPARE(app.model()->windowShown(), 1);
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
