#include "settings/CalendarSetupSheet.h"
#include "app/MainWindowSheets.h"
#include "settings/ThemeTile.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/settings/SettingsRig.h"

#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::CalendarSetupSheet;
using lumi::MainWindowSheets;
using lumi::test::ModelHarness;
using lumi::test::SettingsRig;

class CalendarSetupSheetTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsOnTheAccountsCalendar_data();
    void startsOnTheAccountsCalendar();
    void answersGoToTheModel_data();
    void answersGoToTheModel();

private:
    /// Raises the sheet over a window, with the account's calendar stored first.
    CalendarSetupSheet* raise(const QJsonObject& stored);
    QString chosenTile(CalendarSetupSheet& sheet) const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<SettingsRig> m_rig;
    std::unique_ptr<lumi::test::RecordingOlderAppMigration> m_olderApp;
    std::unique_ptr<QWidget> m_window;
    MainWindowSheets* m_sheets = nullptr;
};

void CalendarSetupSheetTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_rig = std::make_unique<SettingsRig>(*m_harness);
    m_olderApp = std::make_unique<lumi::test::RecordingOlderAppMigration>(m_harness->journal);
}

void CalendarSetupSheetTest::cleanup()
{
    m_window.reset();
    m_olderApp.reset();
    m_rig.reset();
    m_harness.reset();
}

CalendarSetupSheet* CalendarSetupSheetTest::raise(const QJsonObject& stored)
{
    const QString token = m_harness->leaveSession(lumi::test::SandboxFixture::demoEmail,
                                                  lumi::test::SandboxFixture::demoPassword, false);
    m_harness->sandbox.call("PUT", u"users"_s, token, {{u"user"_s, stored}});
    m_harness->model().launch();
    m_harness->settle();
    m_harness->journal.clear();
    m_window = std::make_unique<QWidget>();
    m_sheets = new MainWindowSheets(*m_window, m_harness->model(), m_harness->guidance(), *m_olderApp,
                                    m_rig->services());
    m_window->show();
    m_harness->guidance().setOnboardingRequested(true);
    if (!QTest::qWaitFor([this] { return m_sheets->shown() == MainWindowSheets::Sheet::onboarding; }))
        return nullptr;
    return qobject_cast<CalendarSetupSheet*>(m_sheets->dialog());
}

QString CalendarSetupSheetTest::chosenTile(CalendarSetupSheet& sheet) const
{
    QStringList chosen;
    const QList<lumi::ThemeTile*> tiles = sheet.findChildren<lumi::ThemeTile*>();
    for (lumi::ThemeTile* tile : tiles) {
        if (tile->isChecked())
            chosen.append(tile->text());
    }
    return chosen.join(u',');
}

void CalendarSetupSheetTest::startsOnTheAccountsCalendar_data()
{
    QTest::addColumn<QJsonObject>("stored");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("calendar off") << QJsonObject{{u"calendar_size"_s, u"zero"_s},
                                                 {u"calendar_theme"_s, u"plum"_s}}
                                  << u"No calendar"_s;
    QTest::newRow("plum on") << QJsonObject{{u"calendar_size"_s, u"large"_s},
                                            {u"calendar_theme"_s, u"plum"_s}}
                             << u"Plum"_s;
    QTest::newRow("unknown theme") << QJsonObject{{u"calendar_size"_s, u"large"_s},
                                                  {u"calendar_theme"_s, u"neon"_s}}
                                   << u"Classic"_s;
}

void CalendarSetupSheetTest::startsOnTheAccountsCalendar()
{
    QFETCH(QJsonObject, stored);
    QFETCH(QString, chosen);

    CalendarSetupSheet* sheet = raise(stored);
    QVERIFY(sheet);
    QCOMPARE(sheet->findChildren<lumi::ThemeTile*>().size(), 11);
    QCOMPARE(chosenTile(*sheet), chosen);
}

void CalendarSetupSheetTest::answersGoToTheModel_data()
{
    QTest::addColumn<QString>("tile");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("event");

    QTest::newRow("Done with Forest")
        << u"Forest"_s << u"done"_s
        << u"events.track(onboarding-step,action=done,choice=forest,step=calendar)"_s;
    QTest::newRow("Done with no calendar")
        << u"No calendar"_s << u"done"_s
        << u"events.track(onboarding-step,action=done,choice=none,step=calendar)"_s;
    QTest::newRow("Not Now") << u"Forest"_s << u"notNow"_s
                             << u"events.track(onboarding-step,action=skipped,step=calendar)"_s;
    QTest::newRow("Escape") << u"Forest"_s << u"escape"_s
                            << u"events.track(onboarding-step,action=skipped,step=calendar)"_s;
}

void CalendarSetupSheetTest::answersGoToTheModel()
{
    QFETCH(QString, tile);
    QFETCH(QString, answer);
    QFETCH(QString, event);

    CalendarSetupSheet* sheet = raise({{u"calendar_size"_s, u"zero"_s}});
    QVERIFY(sheet);
    const QList<lumi::ThemeTile*> tiles = sheet->findChildren<lumi::ThemeTile*>();
    for (lumi::ThemeTile* candidate : tiles) {
        if (candidate->text() == tile)
            candidate->click();
    }
    QCOMPARE(chosenTile(*sheet), tile);
    if (answer == u"escape"_s)
        QTest::keyClick(sheet, Qt::Key_Escape);
    else
        sheet->findChild<QPushButton*>(u"calendarSetup."_s + answer)->click();

    QTRY_VERIFY(!m_sheets->shown());
    QVERIFY(!m_harness->guidance().onboardingRequested());
    QCOMPARE(m_harness->journal.calls().filter(u"onboarding-step"_s), QStringList{event});
}

QTEST_MAIN(CalendarSetupSheetTest)
#include "CalendarSetupSheetTest.moc"
