#include "app/Application.h"
#include "browser/BrowserView.h"
#include "browser/NameSheet.h"
#include "browser/SidebarRow.h"
#include "browser/core/BrowserState.h"
#include "settings/ChoicePicker.h"
#include "settings/SettingsView.h"
#include "state/Guidance.h"
#include "support/app/AppRun.h"
#include "widgets/Palette.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using lumi::SettingsSection;
using lumi::SidebarRow;
using lumi::test::AppRun;

namespace {

/// The visible rows of a list, top to bottom.
QList<SidebarRow*> rowsOf(QWidget& list)
{
    QList<SidebarRow*> rows = list.findChildren<SidebarRow*>();
    rows.removeIf([](const SidebarRow* row) { return !row->isVisible(); });
    std::sort(rows.begin(), rows.end(), [&list](const SidebarRow* a, const SidebarRow* b) {
        return a->mapTo(&list, QPoint()).y() < b->mapTo(&list, QPoint()).y();
    });
    return rows;
}

/// Whether the row shows the focus ring along its top edge, past its title.
bool wearsTheFocusRing(SidebarRow& row)
{
    return row.grab().toImage().pixelColor(row.width() - 20, 0).rgb() == lumi::Palette::focusRing().rgb();
}

} // namespace

class KeyboardTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void arrowKeysWalkTheSidebar_data();
    void arrowKeysWalkTheSidebar();
    void arrowKeysWalkTheSettingsSections();
    void focusComesBackAfterASheet_data();
    void focusComesBackAfterASheet();
    void steppedChoiceIsSentOnceSettled_data();
    void steppedChoiceIsSentOnceSettled();

private:
    lumi::BrowserState& state() const { return m_run->browser()->state(); }
    QJsonArray putsOfUser() const { return m_run->received(u"PUT"_s, u"users"_s); }

    std::unique_ptr<AppRun> m_run;
};

void KeyboardTest::init()
{
    m_run = std::make_unique<AppRun>();
    QVERIFY2(m_run->sandbox.isRunning(), qPrintable(m_run->sandbox.errorString()));
}

void KeyboardTest::cleanup()
{
    QVERIFY(m_run->settle());
    m_run.reset();
}

void KeyboardTest::arrowKeysWalkTheSidebar_data()
{
    QTest::addColumn<int>("modeKey");
    QTest::addColumn<int>("mode");
    QTest::newRow("collections") << int(Qt::Key_1) << int(lumi::BrowseMode::home);
    QTest::newRow("playlists") << int(Qt::Key_2) << int(lumi::BrowseMode::playlists);
}

void KeyboardTest::arrowKeysWalkTheSidebar()
{
    QFETCH(int, modeKey);
    QFETCH(int, mode);
    QVERIFY(m_run->startSignedIn());
    // The toggle's shortcut clicks it the way a shortcut clicks a button: a moment later.
    QTest::keyClick(&m_run->window(), Qt::Key(modeKey), Qt::ControlModifier);
    QTRY_COMPARE(int(state().mode()), mode);
    QWidget& sidebar = *m_run->browser()->findChild<QWidget*>(u"browser.sidebar"_s);
    // The rows of the list built for the mode show on the next turn of the event loop.
    QTRY_VERIFY(rowsOf(sidebar).size() >= 3);
    const QList<SidebarRow*> rows = rowsOf(sidebar);

    // Tabbed into the list at its first row.
    rows.first()->setFocus(Qt::TabFocusReason);
    QVERIFY(wearsTheFocusRing(*rows.first()));
    for (qsizetype at = 1; at < rows.size(); ++at) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        SidebarRow* row = rows.at(at);
        QVERIFY2(row->hasFocus(), qPrintable(row->title()));
        QVERIFY(row->isSelected());
        QVERIFY(wearsTheFocusRing(*row));
        QVERIFY(!wearsTheFocusRing(*rows.at(at - 1)));
    }
    // The last row keeps the focus; Up goes back one.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QVERIFY(rows.last()->hasFocus() && rows.last()->isSelected());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(rows.at(rows.size() - 2)->hasFocus() && rows.at(rows.size() - 2)->isSelected());

    // Where the keys stopped, the photos of that source are asked for.
    const QString path = u"media/"_s + state().sourcePath().value_or(QString());
    QTRY_VERIFY2(!m_run->received(u"GET"_s, path).isEmpty(), qPrintable(path));
}

void KeyboardTest::arrowKeysWalkTheSettingsSections()
{
    QVERIFY(m_run->startSignedIn());
    QTest::keyClick(&m_run->window(), Qt::Key_Comma, Qt::ControlModifier);
    lumi::SettingsView* settings = nullptr;
    QTRY_VERIFY((settings = AppRun::find<lumi::SettingsView>(u"settings"_s)));
    const QList<SidebarRow*> rows = rowsOf(*settings);
    QCOMPARE(rows.size(), 5);
    // The sheet opens with the focus on its section.
    QTRY_VERIFY(rows.first()->hasFocus());
    QVERIFY(wearsTheFocusRing(*rows.first()));

    const QList<SettingsSection> order{SettingsSection::wallpaper, SettingsSection::calendar,
                                       SettingsSection::screenSaver, SettingsSection::support,
                                       SettingsSection::support};
    for (qsizetype step = 0; step < order.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(settings->section(), std::optional(order.at(step)));
        SidebarRow* row = rows.at(std::min<qsizetype>(step + 1, rows.size() - 1));
        QVERIFY(row->hasFocus() && row->isSelected() && wearsTheFocusRing(*row));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(settings->section(), std::optional(SettingsSection::screenSaver));
    QVERIFY(AppRun::find(u"saver.effect"_s));
}

void KeyboardTest::focusComesBackAfterASheet_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("answer"); // typed into the sheet, then Return; empty: Escape

    QTest::newRow("settings, closed") << u"browser.settings"_s << QString();
    QTest::newRow("new playlist, closed") << u"sidebar.newPlaylist"_s << QString();
    // The list is built anew with the new playlist; its button takes the focus again.
    QTest::newRow("new playlist, made") << u"sidebar.newPlaylist"_s << u"Road Trip"_s;
}

void KeyboardTest::focusComesBackAfterASheet()
{
    QFETCH(QString, opener);
    QFETCH(QString, answer);
    QVERIFY(m_run->startSignedIn());
    QTest::keyClick(&m_run->window(), Qt::Key_2, Qt::ControlModifier);
    QWidget* button = nullptr;
    QTRY_VERIFY((button = AppRun::find(opener)));
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);

    QDialog* sheet = nullptr;
    QTRY_VERIFY((sheet = qobject_cast<QDialog*>(QApplication::activeWindow())));
    if (answer.isEmpty()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    } else {
        QTest::keyClicks(QApplication::focusWidget(), answer);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(std::any_of(m_run->app().model()->account().albums().cbegin(),
                                m_run->app().model()->account().albums().cend(),
                                [&answer](const lumi::Album& album) { return album.title == answer; }));
        QCOMPARE(m_run->received(u"POST"_s, u"albums"_s).size(), 1);
    }
    QTRY_VERIFY(QApplication::focusWidget() && QApplication::focusWidget()->objectName() == opener);
    QCOMPARE(QApplication::focusWidget(), AppRun::find(opener));
    QVERIFY(m_run->window().isActiveWindow());
}

void KeyboardTest::steppedChoiceIsSentOnceSettled_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("sent");

    // From Random through Fader, Faller, Four-up, Panner and Slider.
    QTest::newRow("six steps, then a pause") << QList<int>(6, Qt::Key_Down) << QStringList{u"reflections"_s};
    QTest::newRow("two steps, then the sheet closes")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Escape} << QStringList{u"faller"_s};
    QTest::newRow("there and back, then the sheet closes")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Escape} << QStringList{};
    QTest::newRow("two steps, then Tab")
        << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Tab} << QStringList{u"faller"_s};
}

void KeyboardTest::steppedChoiceIsSentOnceSettled()
{
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, sent);
    QVERIFY(m_run->startSignedIn({{u"saver_show"_s, u"random"_s}}));
    QVERIFY(m_run->settle());
    m_run->sandbox.clearRequests();
    m_run->app().guidance()->requestSettings(SettingsSection::screenSaver);
    lumi::ChoicePicker* effect = nullptr;
    QTRY_VERIFY((effect = AppRun::find<lumi::ChoicePicker>(u"saver.effect"_s)));
    QCOMPARE(effect->currentText(), u"Random"_s);
    QTRY_VERIFY(effect->window()->isActiveWindow());
    effect->setFocus(Qt::TabFocusReason);

    // Keys come faster than the pause; the steps before the last one are never sent.
    for (const int key : std::as_const(keys))
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    if (!sent.isEmpty())
        QTRY_VERIFY(!putsOfUser().isEmpty());
    QVERIFY(m_run->settle());
    QStringList values;
    for (const QJsonValue& put : putsOfUser()) {
        const QJsonObject body = QJsonDocument::fromJson(put[u"body"_s].toString().toUtf8()).object();
        values.append(body[u"user"_s][u"saver_show"_s].toString());
    }
    QCOMPARE(values, sent);
}

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"
