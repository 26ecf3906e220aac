#include "app/MainWindow.h"
#include "app/AuthView.h"
#include "app/MainWindowController.h"
#include "app/MainWindowSheets.h"
#include "browser/BrowserView.h"
#include "model/DefaultsKeys.h"
#include "support/OffscreenScreen.h"
#include "support/app/FixedSystemTray.h"
#include "support/browser/BrowserRig.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/settings/SettingsRig.h"
#include "support/state/ModelHarness.h"
#include "widgets/Palette.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::MainWindowController;
using lumi::MainWindowSheets;
using Sheet = lumi::MainWindowSheets::Sheet;
using lumi::test::ModelHarness;
using lumi::test::RecordingOlderAppMigration;

class MainWindowTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contentFollowsThePhase();
    void oneWindowKeptForTheWholeRun();
    void remembersWhereItWas();
    void sheetsComeOneAtATimeInOrder();
    void sheetsWaitForTheWindow();
    void answersCloseTheirSheets_data();
    void answersCloseTheirSheets();
    void alertShowsTheTextAsItIs();
    void alertBringsTheHiddenWindowForward();
    void fitsTheScreen_data();
    void fitsTheScreen();
    void keepsItsLightLookUnderADarkDesktop();
    void closingWithoutATrayTellsOnce_data();
    void closingWithoutATrayTellsOnce();
    void quitsOnControlQ();

private:
    MainWindowController& controller();
    lumi::MainWindow* window() { return controller().window(); }
    MainWindowSheets& sheets() { return window()->sheets(); }
    QPushButton* sheetButton(const QString& name) { return sheets().dialog()->findChild<QPushButton*>(name); }

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<lumi::test::BrowserRig> m_browser;
    std::unique_ptr<RecordingOlderAppMigration> m_olderApp;
    std::unique_ptr<lumi::test::FixedSystemTray> m_tray;
    std::unique_ptr<lumi::test::SettingsRig> m_rig;
    std::unique_ptr<MainWindowController> m_controller;
};

void MainWindowTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_olderApp = std::make_unique<RecordingOlderAppMigration>(m_harness->journal);
    m_browser = std::make_unique<lumi::test::BrowserRig>(*m_harness);
    m_tray = std::make_unique<lumi::test::FixedSystemTray>(true);
    m_rig = std::make_unique<lumi::test::SettingsRig>(*m_harness);
}

void MainWindowTest::cleanup()
{
    m_controller.reset();
    m_rig.reset();
    m_tray.reset();
    m_olderApp.reset();
    m_browser.reset();
    m_harness.reset();
}

MainWindowController& MainWindowTest::controller()
{
    if (!m_controller)
        m_controller = std::make_unique<MainWindowController>(m_harness->model(), m_harness->defaults,
                                                              *m_olderApp, m_harness->links, *m_tray,
                                                              m_browser->services(), m_rig->services());
    return *m_controller;
}

void MainWindowTest::contentFollowsThePhase()
{
    controller().showMainWindow();
    QVERIFY(window()->content()->findChild<QProgressBar*>(u"launching.progress"_s));

    m_harness->model().launch();
    const QPointer<lumi::AuthView> firstSignIn = qobject_cast<lumi::AuthView*>(window()->content());
    QVERIFY(firstSignIn);
    QCOMPARE(firstSignIn->mode(), lumi::AuthView::Mode::signUp);

    m_harness->signIn(lumi::test::SandboxFixture::demoEmail, lumi::test::SandboxFixture::demoPassword);
    QVERIFY(qobject_cast<lumi::BrowserView*>(window()->content()));
    QTRY_VERIFY(!firstSignIn);

    // Signing out brings a fresh view, on signing in: the account exists.
    m_harness->model().signOut();
    auto* secondSignIn = qobject_cast<lumi::AuthView*>(window()->content());
    QVERIFY(secondSignIn);
    QCOMPARE(secondSignIn->mode(), lumi::AuthView::Mode::signIn);
    QCOMPARE(window()->windowTitle(), u"Lumivale"_s);
}

void MainWindowTest::oneWindowKeptForTheWholeRun()
{
    QVERIFY(!controller().window());
    QVERIFY(!controller().isMainWindowVisible());

    controller().showMainWindow();
    lumi::MainWindow* made = window();
    QVERIFY(made && made->isVisible());
    QCOMPARE(made->windowTitle(), u"Lumivale"_s);
    QCOMPARE(made->size(), MainWindowController::contentSize);
    QCOMPARE(made->minimumSize(), MainWindowController::minimumSize);
    QCOMPARE(m_harness->model().windowShown(), 1);

    // Asking again brings the same window forward and still counts.
    controller().showMainWindow();
    QCOMPARE(window(), made);
    QCOMPARE(m_harness->model().windowShown(), 2);

    // Closing hides it; the app goes on, and the same window comes back.
    QVERIFY(made->close());
    QVERIFY(!controller().isMainWindowVisible());
    controller().showMainWindow();
    QCOMPARE(window(), made);
    QVERIFY(controller().isMainWindowVisible());

    made->showMinimized();
    QVERIFY(!controller().isMainWindowVisible());
}

void MainWindowTest::remembersWhereItWas()
{
    controller().showMainWindow();
    const QRect placed(QPoint(60, 40), QSize(1000, 640));
    window()->setGeometry(placed);
    QVERIFY(window()->close());
    QVERIFY(m_harness->defaults.bytesValue(lumi::keys::mainWindowGeometry));

    m_controller.reset();
    controller().showMainWindow();
    QCOMPARE(window()->geometry(), placed);
}

void MainWindowTest::sheetsComeOneAtATimeInOrder()
{
    AppModel& model = m_harness->launchSignedIn();
    model.setAlert(u"Something failed."_s);
    m_harness->guidance().setOnboardingRequested(true);
    model.setElectronNoticeRequested(true);
    m_harness->guidance().setSurveyRequested(true);
    model.setAskLoginItem(true);
    m_harness->guidance().setSettingsRequested(true);
    controller().showMainWindow();

    const QList<Sheet> order{Sheet::settings,       Sheet::loginItem,  Sheet::survey,
                             Sheet::electronNotice, Sheet::onboarding, Sheet::alert};
    for (const Sheet expected : order) {
        QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(expected));
        QVERIFY(sheets().dialog()->isVisible());
        // Closed without an answer (Escape).
        sheets().dialog()->reject();
    }
    QTRY_COMPARE(sheets().shown(), std::nullopt);

    QVERIFY(!m_harness->guidance().settingsRequested());
    QVERIFY(!model.askLoginItem());
    QVERIFY(!m_harness->guidance().surveyRequested());
    QVERIFY(!model.electronNoticeRequested());
    QVERIFY(!m_harness->guidance().onboardingRequested());
    QVERIFY(!model.alert());
    // The onboarding counts as skipped, once.
    QCOMPARE(m_harness->journal.calls().filter(u"events.track(onboarding-step"_s),
             QStringList{u"events.track(onboarding-step,action=skipped,step=calendar)"_s});
}

void MainWindowTest::sheetsWaitForTheWindow()
{
    AppModel& model = m_harness->model();
    model.setAlert(u"Raised while no window was up."_s);
    controller().showMainWindow();
    QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(Sheet::alert));

    sheets().dialog()->reject();
    QVERIFY(window()->close());
    m_harness->guidance().setSettingsRequested(true);
    QCOMPARE(sheets().shown(), std::nullopt);
    controller().showMainWindow();
    QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(Sheet::settings));
}

void MainWindowTest::answersCloseTheirSheets_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("oldAppRunning");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("Start at Login") << u"loginItem.start"_s << false << QStringList();
    QTest::newRow("Not Now") << u"loginItem.notNow"_s << false << QStringList();
    QTest::newRow("Later, old app installed") << u"electron.later"_s << false << QStringList();
    QTest::newRow("Show in File Manager, old app running")
        << u"electron.reveal"_s << true << QStringList{u"olderApp.reveal"_s};
}

void MainWindowTest::answersCloseTheirSheets()
{
    QFETCH(QString, button);
    QFETCH(bool, oldAppRunning);
    QFETCH(QStringList, calls);

    AppModel& model = m_harness->model();
    m_olderApp->oldAppRunning = oldAppRunning;
    const bool loginItem = button.startsWith(u"loginItem"_s);
    if (loginItem)
        model.setAskLoginItem(true);
    else
        model.setElectronNoticeRequested(true);
    controller().showMainWindow();
    QTRY_COMPARE(sheets().shown(),
                 std::optional<Sheet>(loginItem ? Sheet::loginItem : Sheet::electronNotice));
    if (!loginItem) {
        const QString text = sheets().dialog()->findChild<QLabel*>(u"sheet.text"_s)->text();
        QCOMPARE(text.startsWith(u"The old Lumivale app is running next to this one."_s), oldAppRunning);
        QVERIFY(text.contains(u"system tray"_s) == oldAppRunning);
    }

    QTest::mouseClick(sheetButton(button), Qt::LeftButton);
    QVERIFY(m_harness->settle());
    QTRY_COMPARE(sheets().shown(), std::nullopt);
    QVERIFY(!model.askLoginItem());
    QVERIFY(!model.electronNoticeRequested());
    QCOMPARE(m_harness->journal.calls().filter(u"olderApp"_s), calls);
    if (loginItem) {
        QCOMPARE(m_harness->defaults.boolValue(lumi::keys::askedLoginItem), std::optional<bool>(true));
        QCOMPARE(m_harness->autostart.isEnabled(), button == u"loginItem.start"_s);
    }
}

void MainWindowTest::alertShowsTheTextAsItIs()
{
    const QString text = u"<b>Quota</b> reached & <a href=\"https://x.test\">more</a>"_s;
    m_harness->model().setAlert(text);
    controller().showMainWindow();
    QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(Sheet::alert));
    auto* box = qobject_cast<QMessageBox*>(sheets().dialog());
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), u"Lumivale"_s);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->buttons().first()->text(), u"OK"_s);

    QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    QTRY_VERIFY(!m_harness->model().alert());
    QTRY_COMPARE(sheets().shown(), std::nullopt);
}

// A failure of something the user asked for from the tray must not wait for the window to be
// opened some time later.
void MainWindowTest::alertBringsTheHiddenWindowForward()
{
    controller().showMainWindow();
    QVERIFY(window()->close());
    QVERIFY(!controller().isMainWindowVisible());

    m_harness->model().setAlert(u"The wallpaper could not be set."_s);
    QVERIFY(controller().isMainWindowVisible());
    QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(Sheet::alert));
}

void MainWindowTest::fitsTheScreen_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("fitted");

    const QRect fullHd(0, 0, 1920, 1080);
    QTest::newRow("room enough") << QRect(100, 100, 1280, 800) << fullHd << QRect(100, 100, 1280, 800);
    QTest::newRow("1366x768 with a panel")
        << QRect(43, -16, 1280, 800) << QRect(0, 0, 1366, 740) << QRect(43, 40, 1280, 692);
    QTest::newRow("1920x1080 at scale 2, panel on top")
        << QRect(-160, -130, 1280, 800) << QRect(0, 32, 960, 508) << QRect(8, 72, 944, 460);
    QTest::newRow("title bar above the screen")
        << QRect(300, 0, 1000, 600) << fullHd << QRect(300, 40, 1000, 600);
    QTest::newRow("beyond the right and bottom edges")
        << QRect(1500, 900, 1000, 600) << fullHd << QRect(912, 472, 1000, 600);
    QTest::newRow("second monitor at the left")
        << QRect(-1500, 200, 1000, 600) << QRect(-1280, 0, 1280, 1024) << QRect(-1272, 200, 1000, 600);
}

void MainWindowTest::fitsTheScreen()
{
    QFETCH(QRect, geometry);
    QFETCH(QRect, available);
    QFETCH(QRect, fitted);

    QCOMPARE(MainWindowController::fitted(geometry, available), fitted);
}

// The app's texts are drawn in its own dark colours: a dark desktop palette must not reach the
// window, its sheets or its alert, or those texts would be unreadable.
void MainWindowTest::keepsItsLightLookUnderADarkDesktop()
{
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(53, 53, 53), QColor(30, 30, 30));
    dark.setColor(QPalette::Base, QColor(20, 20, 20));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });

    m_harness->model().setAskLoginItem(true);
    m_harness->model().setAlert(u"Something failed."_s);
    controller().showMainWindow();
    for (const Sheet expected : {Sheet::loginItem, Sheet::alert}) {
        QTRY_COMPARE(sheets().shown(), std::optional<Sheet>(expected));
        for (QWidget* shown : {static_cast<QWidget*>(window()), static_cast<QWidget*>(sheets().dialog())}) {
            const QImage image = shown->grab().toImage();
            // A corner shows the window's background.
            QVERIFY2(qGray(image.pixel(2, image.height() - 3)) > 200, qPrintable(shown->objectName()));
            QCOMPARE(shown->palette().color(QPalette::WindowText), lumi::Palette::dark());
        }
        sheets().dialog()->reject();
    }
}

void MainWindowTest::closingWithoutATrayTellsOnce_data()
{
    QTest::addColumn<bool>("tray");
    QTest::newRow("no tray") << false;
    QTest::newRow("a tray") << true;
}

void MainWindowTest::closingWithoutATrayTellsOnce()
{
    QFETCH(bool, tray);
    m_tray = std::make_unique<lumi::test::FixedSystemTray>(tray);

    controller().showMainWindow();
    QVERIFY(window()->close());
    if (tray) {
        QTest::qWait(50);
        QVERIFY(!controller().keepsRunningNotice());
        return;
    }
    QTRY_VERIFY(controller().keepsRunningNotice() && controller().keepsRunningNotice()->isVisible());
    auto* notice = qobject_cast<QMessageBox*>(controller().keepsRunningNotice());
    QVERIFY(notice);
    QVERIFY(notice->informativeText().contains(u"start Lumivale again"_s));
    QVERIFY(notice->close());
    QTRY_VERIFY(!controller().keepsRunningNotice());

    // Said once is enough.
    controller().showMainWindow();
    QVERIFY(window()->close());
    QTest::qWait(50);
    QVERIFY(!controller().keepsRunningNotice());
}

void MainWindowTest::quitsOnControlQ()
{
    m_harness->model().launch();
    controller().showMainWindow();
    window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window()));
    QSignalSpy quit(&controller(), &MainWindowController::quitRequested);
    // From a field of the sign-in form, where typing goes.
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window(), Qt::Key_Q,
                    Qt::ControlModifier);
    QCOMPARE(quit.size(), 1);
}

int main(int argc, char** argv)
{
    // Room for the window's full first size.
    lumi::test::useOffscreenScreen({1920, 1200});
    QApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "MainWindowTest.moc"
