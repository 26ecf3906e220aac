#include "settings/SettingsView.h"
#include "app/MainWindowSheets.h"
#include "browser/SidebarRow.h"
#include "model/DeviceInfo.h"
#include "settings/ApplicationSettings.h"
#include "settings/ScreenSaverSettings.h"
#include "support/services/RecordingOlderAppMigration.h"
#include "support/settings/SettingsRig.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::MainWindowSheets;
using lumi::SettingsSection;
using lumi::SettingsView;
using lumi::SidebarRow;
using lumi::test::ModelHarness;
using lumi::test::SettingsRig;

class SettingsViewTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opensOnTheAskedSection_data();
    void opensOnTheAskedSection();
    void everyWayOutClearsTheRequest_data();
    void everyWayOutClearsTheRequest();
    void sidebarListsTheSectionsSignedInOrOut();

private:
    /// Raises the settings over the window and returns the sheet on screen.
    /// Asks for the settings, on the section if one is given.
    SettingsView* raise(std::optional<SettingsSection> section = std::nullopt);
    QStringList rowTitles(SettingsView& view, bool selectedOnly) const;

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<SettingsRig> m_rig;
    std::unique_ptr<lumi::test::RecordingOlderAppMigration> m_olderApp;
    std::unique_ptr<QWidget> m_window;
    MainWindowSheets* m_sheets = nullptr;
};

void SettingsViewTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_rig = std::make_unique<SettingsRig>(*m_harness);
    m_olderApp = std::make_unique<lumi::test::RecordingOlderAppMigration>(m_harness->journal);
    m_window = std::make_unique<QWidget>();
    m_window->resize(1000, 700);
    m_sheets = new MainWindowSheets(*m_window, m_harness->model(), m_harness->guidance(), *m_olderApp,
                                    m_rig->services());
    m_window->show();
}

void SettingsViewTest::cleanup()
{
    m_window.reset();
    m_olderApp.reset();
    m_rig.reset();
    m_harness.reset();
}

SettingsView* SettingsViewTest::raise(std::optional<SettingsSection> section)
{
    m_harness->guidance().requestSettings(section);
    if (!QTest::qWaitFor([this] { return m_sheets->shown() == MainWindowSheets::Sheet::settings; }))
        return nullptr;
    return qobject_cast<SettingsView*>(m_sheets->dialog());
}

QStringList SettingsViewTest::rowTitles(SettingsView& view, bool selectedOnly) const
{
    QStringList titles;
    const QList<SidebarRow*> rows = view.findChildren<SidebarRow*>();
    for (SidebarRow* row : rows) {
        if (!selectedOnly || row->isSelected())
            titles.append(row->title());
    }
    return titles;
}

void SettingsViewTest::opensOnTheAskedSection_data()
{
    QTest::addColumn<std::optional<SettingsSection>>("asked");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("pane");

    QTest::newRow("plain opening") << std::optional<SettingsSection>() << u"Application"_s
                                   << u"lumi::ApplicationSettings"_s;
    QTest::newRow("screen saver asked")
        << std::optional(SettingsSection::screenSaver) << u"Screen Saver"_s << u"lumi::ScreenSaverSettings"_s;
}

void SettingsViewTest::opensOnTheAskedSection()
{
    QFETCH(std::optional<SettingsSection>, asked);
    QFETCH(QString, selected);
    QFETCH(QString, pane);

    m_harness->launchSignedIn();
    SettingsView* view = raise(asked);
    QVERIFY(view);
    QCOMPARE(view->size(), SettingsView::sheetSize);
    QCOMPARE(rowTitles(*view, true), QStringList{selected});
    auto* area = view->findChild<QScrollArea*>(u"settings.pane"_s);
    QWidget* shown = area->widget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).value(0);
    QVERIFY(shown);
    QCOMPARE(QString::fromLatin1(shown->metaObject()->className()), pane);

    // Another section through the sidebar, then a showing again stays on it.
    QTest::mouseClick(view->findChildren<SidebarRow*>().at(1), Qt::LeftButton);
    QCOMPARE(rowTitles(*view, true), QStringList{u"Wallpaper"_s});
    view->hide();
    view->show();
    QCOMPARE(rowTitles(*view, true), QStringList{u"Wallpaper"_s});
    QCOMPARE(view->findChild<QLabel*>(u"settings.version"_s)->text(),
             u"v "_s + lumi::DeviceInfo::appVersion());
}

void SettingsViewTest::everyWayOutClearsTheRequest_data()
{
    QTest::addColumn<QString>("way");

    QTest::newRow("close button") << u"closeButton"_s;
    QTest::newRow("Close") << u"Close"_s;
    QTest::newRow("Escape") << u"Escape"_s;
}

void SettingsViewTest::everyWayOutClearsTheRequest()
{
    QFETCH(QString, way);

    SettingsView* view = raise();
    QVERIFY(view);
    QTest::mouseClick(view->findChildren<SidebarRow*>().last(), Qt::LeftButton);
    if (way == u"closeButton"_s)
        view->findChild<QToolButton*>(u"settings.closeButton"_s)->click();
    else if (way == u"Close"_s)
        view->findChild<QPushButton*>(u"settings.close"_s)->click();
    else
        QTest::keyClick(view, Qt::Key_Escape);
    QTRY_VERIFY(!m_sheets->shown());
    QVERIFY(!m_harness->guidance().settingsRequested());

    // The next opening starts on Application again.
    view = raise();
    QVERIFY(view);
    QCOMPARE(rowTitles(*view, true), QStringList{u"Application"_s});
}

void SettingsViewTest::sidebarListsTheSectionsSignedInOrOut()
{
    const QStringList sections{u"Application"_s, u"Wallpaper"_s, u"Calendar"_s, u"Screen Saver"_s,
                               u"Support"_s};
    m_harness->model().launch();
    QVERIFY(m_harness->settle());
    SettingsView* view = raise();
    QVERIFY(view);
    QCOMPARE(rowTitles(*view, false), sections);

    m_harness->signIn(lumi::test::SandboxFixture::demoEmail, lumi::test::SandboxFixture::demoPassword);
    QCOMPARE(rowTitles(*view, false), sections);
}

QTEST_MAIN(SettingsViewTest)
#include "SettingsViewTest.moc"
