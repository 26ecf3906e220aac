#include "sheets/SurveySheet.h"
#include "app/MainWindow.h"
#include "app/MainWindowController.h"
#include "app/MainWindowSheets.h"
#include "support/ReviewGrab.h"
#include "support/app/FixedSystemTray.h"
#include "support/browser/BrowserRig.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/settings/SettingsRig.h"
#include "support/state/ModelHarness.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::SurveySheet;
using Sheet = lumi::MainWindowSheets::Sheet;
using lumi::test::ModelHarness;

class SurveySheetTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void prefillsTheAddressAtEveryShowingAndDeclinesQuietly();
    void submitsAndClosesBeforeTheAnswer_data();
    void submitsAndClosesBeforeTheAnswer();

private:
    /// Raises the survey and waits for its sheet.
    SurveySheet* requestSurvey();

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<lumi::test::RecordingOlderAppMigration> m_olderApp;
    std::unique_ptr<lumi::test::FixedSystemTray> m_tray;
    std::unique_ptr<lumi::test::BrowserRig> m_browser;
    std::unique_ptr<lumi::test::SettingsRig> m_rig;
    std::unique_ptr<lumi::MainWindowController> m_controller;
};

void SurveySheetTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_olderApp = std::make_unique<lumi::test::RecordingOlderAppMigration>(m_harness->journal);
    m_tray = std::make_unique<lumi::test::FixedSystemTray>(true);
    m_browser = std::make_unique<lumi::test::BrowserRig>(*m_harness);
    m_rig = std::make_unique<lumi::test::SettingsRig>(*m_harness);
    m_harness->launchSignedIn();
    m_controller = std::make_unique<lumi::MainWindowController>(m_harness->model(), m_harness->defaults,
                                                                *m_olderApp, m_harness->links, *m_tray,
                                                                m_browser->services(), m_rig->services());
    m_controller->showMainWindow();
}

void SurveySheetTest::cleanup()
{
    m_controller.reset();
    m_rig.reset();
    m_browser.reset();
    m_tray.reset();
    m_olderApp.reset();
    m_harness.reset();
}

SurveySheet* SurveySheetTest::requestSurvey()
{
    m_harness->guidance().setSurveyRequested(true);
    lumi::MainWindowSheets& sheets = m_controller->window()->sheets();
    if (!QTest::qWaitFor([&] { return sheets.shown() == std::optional<Sheet>(Sheet::survey); }))
        return nullptr;
    return qobject_cast<SurveySheet*>(sheets.dialog());
}

void SurveySheetTest::prefillsTheAddressAtEveryShowingAndDeclinesQuietly()
{
    for (int showing = 0; showing < 2; ++showing) {
        SurveySheet* sheet = requestSurvey();
        QVERIFY(sheet);
        auto* email = sheet->findChild<QLineEdit*>(u"survey.email"_s);
        QCOMPARE(email->text(), lumi::test::SandboxFixture::demoEmail);
        if (showing == 0)
            lumi::test::saveForReview(*sheet, u"survey-sheet"_s);
        QTest::keyClicks(email, u"-typed over"_s);
        QTest::keyClick(sheet, Qt::Key_Escape);
        QTRY_COMPARE(m_controller->window()->sheets().shown(), std::nullopt);
        QVERIFY(!m_harness->guidance().surveyRequested());
    }
    QVERIFY(m_harness->settle());
    QCOMPARE(m_harness->apiRequests(u"POST"_s, u"surveys"_s).size(), 0);
}

void SurveySheetTest::submitsAndClosesBeforeTheAnswer_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("sentEmail");
    QTest::addColumn<QString>("sentScore");

    QTest::newRow("no score, address cleared")
        << QString() << QList<int>() << QString() << QString() << QString();
    QTest::newRow("the last score wins, blanks trimmed, comment as typed")
        << u" \tme@x.test\t "_s << QList<int>{7, 3} << u"  two\nlines "_s << u"me@x.test"_s << u"3"_s;
    QTest::newRow("ten") << u"a@b.test"_s << QList<int>{10} << u"Fine"_s << u"a@b.test"_s << u"10"_s;
}

void SurveySheetTest::submitsAndClosesBeforeTheAnswer()
{
    QFETCH(QString, email);
    QFETCH(QList<int>, clicks);
    QFETCH(QString, comment);
    QFETCH(QString, sentEmail);
    QFETCH(QString, sentScore);

    QVERIFY(m_harness->sandbox.addFault(
        {{u"method"_s, u"POST"_s}, {u"path"_s, u"/api/v6/surveys"_s}, {u"delayMs"_s, 800}}));
    SurveySheet* sheet = requestSurvey();
    QVERIFY(sheet);
    auto* field = sheet->findChild<QLineEdit*>(u"survey.email"_s);
    field->setText(email);
    for (const int score : clicks)
        QTest::mouseClick(sheet->findChild<QPushButton*>(u"survey.score.%1"_s.arg(score)), Qt::LeftButton);
    QCOMPARE(sheet->score(), sentScore);
    for (int score = 1; score <= 10; ++score)
        QCOMPARE(sheet->findChild<QPushButton*>(u"survey.score.%1"_s.arg(score))->isChecked(),
                 QString::number(score) == sentScore);
    sheet->findChild<QPlainTextEdit*>(u"survey.comment"_s)->setPlainText(comment);
    QTest::keyClick(field, Qt::Key_Return);

    // Gone at once, long before the delayed answer.
    QCOMPARE(m_controller->window()->sheets().shown(), std::nullopt);
    QVERIFY(!m_harness->guidance().surveyRequested());
    QCOMPARE(m_harness->guidance().notice(), std::nullopt);

    QVERIFY(m_harness->settle());
    const QJsonArray posts = m_harness->apiRequests(u"POST"_s, u"surveys"_s);
    QCOMPARE(posts.size(), 1);
    const QJsonObject body = ModelHarness::bodyOf(posts[0]);
    QCOMPARE(body[u"email"_s].toString(u"not a string"_s), sentEmail);
    QCOMPARE(body[u"score"_s].toString(u"not a string"_s), sentScore);
    QCOMPARE(body[u"comment"_s].toString(u"not a string"_s), comment);
    QCOMPARE(m_harness->guidance().notice(), std::optional<QString>(u"Thank you for your answers."_s));
}

QTEST_MAIN(SurveySheetTest)
#include "SurveySheetTest.moc"
