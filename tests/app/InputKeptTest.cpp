#include "app/Application.h"
#include "app/AuthView.h"
#include "browser/BrowserView.h"
#include "browser/NameSheet.h"
#include "browser/core/BrowserState.h"
#include "settings/SettingsView.h"
#include "state/Guidance.h"
#include "state/PlaylistEditor.h"
#include "support/app/AppRun.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Source;
using lumi::test::AppRun;

namespace {

/// The album of that title the model holds, if any.
std::optional<lumi::Album> albumTitled(const lumi::AppModel& model, const QString& title)
{
    for (const lumi::Album& album : model.account().albums()) {
        if (album.title == title)
            return album;
    }
    return std::nullopt;
}

/// Types text as keys do, letters outside ASCII included.
void type(QWidget& widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(&widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, &widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class InputKeptTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void refusedNameStaysInTheSheet_data();
    void refusedNameStaysInTheSheet();
    void clearingTheSearchGoesBack_data();
    void clearingTheSearchGoesBack();
    void signingOutLeavesTheSessionBehind();

private:
    lumi::BrowserState& state() const { return m_run->browser()->state(); }

    std::unique_ptr<AppRun> m_run;
};

void InputKeptTest::init()
{
    m_run = std::make_unique<AppRun>();
    QVERIFY2(m_run->sandbox.isRunning(), qPrintable(m_run->sandbox.errorString()));
}

void InputKeptTest::cleanup()
{
    QVERIFY(m_run->settle());
    m_run.reset();
}

void InputKeptTest::refusedNameStaysInTheSheet_data()
{
    QTest::addColumn<QString>("sheet"); // "new" or "rename"
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("mended");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path"); // empty: the renamed playlist's own

    QTest::newRow("new, an accented letter")
        << u"new"_s << u"Café Trip"_s << u"Cafe Trip"_s << u"POST"_s << u"albums"_s;
    QTest::newRow("new, blanks only") << u"new"_s << u"   "_s << u"Walks"_s << u"POST"_s << u"albums"_s;
    QTest::newRow("rename, a typographic apostrophe")
        << u"rename"_s << u"Morning’s Light"_s << u"Morning's Light"_s << u"PUT"_s << QString();
}

void InputKeptTest::refusedNameStaysInTheSheet()
{
    QFETCH(QString, sheet);
    QFETCH(QString, refused);
    QFETCH(QString, mended);
    QFETCH(QString, method);
    QFETCH(QString, path);
    QVERIFY(m_run->startSignedIn());
    lumi::AppModel& model = *m_run->app().model();
    if (path.isEmpty())
        path = u"albums/"_s + albumTitled(model, u"Mountain Mornings"_s)->titleFragment;
    state().selectMode(lumi::BrowseMode::playlists, false);
    if (sheet == u"new"_s) {
        QPushButton* create = nullptr;
        QTRY_VERIFY((create = AppRun::find<QPushButton>(u"sidebar.newPlaylist"_s)));
        QTest::mouseClick(create, Qt::LeftButton);
    } else {
        auto* row = m_run->browser()->findChild<QWidget*>(u"playlist.102"_s);
        QVERIFY(row);
        QTRY_VERIFY(row->isVisible());
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(10, 10),
                                  row->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(row, &menuKey);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        const QList<QAction*> actions = menu->actions();
        const auto rename = std::find_if(actions.cbegin(), actions.cend(), [](const QAction* action) {
            return action->text() == u"Rename…"_s;
        });
        QVERIFY(rename != actions.cend());
        (*rename)->trigger();
        menu->close();
    }
    lumi::NameSheet* nameSheet = nullptr;
    QTRY_VERIFY((nameSheet = AppRun::find<lumi::NameSheet>(QString())) && nameSheet->isActiveWindow());
    m_run->sandbox.clearRequests();

    QLineEdit& field = nameSheet->field();
    field.selectAll();
    type(field, refused);
    QTest::keyClick(&field, Qt::Key_Return);
    // Still there, with the text as typed and the rule; nothing asked of the service, no alert.
    QVERIFY(nameSheet->isVisible());
    QCOMPARE(field.text(), refused);
    QVERIFY(nameSheet->message().isVisible());
    QCOMPARE(nameSheet->message().text(), lumi::PlaylistEditor::playlistNameMessage());
    QVERIFY(!model.alert());
    QVERIFY(m_run->settle());
    QCOMPARE(m_run->received(method, path).size(), 0);

    // Mending the name goes through, once.
    field.selectAll();
    QTest::keyClicks(&field, mended);
    QVERIFY(!nameSheet->message().isVisible());
    QTest::keyClick(&field, Qt::Key_Return);
    QTRY_VERIFY(!AppRun::find<lumi::NameSheet>(QString()));
    QTRY_VERIFY(albumTitled(model, mended));
    QCOMPARE(m_run->received(method, path).size(), 1);
    QVERIFY(!model.alert());
}

void InputKeptTest::clearingTheSearchGoesBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("before"); // "playlist" or "today"

    QTest::newRow("the clear button, from a playlist") << u"clear button"_s << u"playlist"_s;
    QTest::newRow("the clear button, from today") << u"clear button"_s << u"today"_s;
    QTest::newRow("erasing the text") << u"erase"_s << u"playlist"_s;
    QTest::newRow("Return on blanks") << u"blanks"_s << u"today"_s;
}

void InputKeptTest::clearingTheSearchGoesBack()
{
    QFETCH(QString, how);
    QFETCH(QString, before);
    QVERIFY(m_run->startSignedIn());
    const lumi::Album mornings = *albumTitled(*m_run->app().model(), u"Mountain Mornings"_s);
    const Source shown = before == u"today"_s ? Source{Source::Today{}} : Source{Source::Album{mornings.id}};
    state().setSelection(shown);
    const QString title = m_run->window().windowTitle();
    const QString path = u"media/"_s + *state().sourcePath();
    QTRY_VERIFY(!m_run->received(u"GET"_s, path).isEmpty());
    QVERIFY(m_run->settle());
    // The playlist's sync asks for its photos too.
    const qsizetype asked = m_run->received(u"GET"_s, path).size();

    auto* search = AppRun::find<QLineEdit>(u"browser.search"_s);
    QVERIFY(search);
    search->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(search, u"alps"_s);
    QTest::keyClick(search, Qt::Key_Return);
    QCOMPARE(state().selection(), std::optional(Source{Source::Search{u"alps"_s}}));
    QTRY_VERIFY(!m_run->received(u"GET"_s, u"media/classic/latest"_s).isEmpty());

    if (how == u"clear button") {
        auto* clear = search->findChild<QToolButton*>();
        QVERIFY(clear);
        QTRY_VERIFY(clear->isVisible());
        QTest::mouseClick(clear, Qt::LeftButton);
    } else if (how == u"erase") {
        search->selectAll();
        QTest::keyClick(search, Qt::Key_Backspace);
    } else {
        search->selectAll();
        QTest::keyClicks(search, u"  "_s);
        QTest::keyClick(search, Qt::Key_Return);
    }
    QCOMPARE(state().selection(), std::optional(shown));
    QCOMPARE(m_run->window().windowTitle(), title);
    // Shown again: its photos are asked for anew.
    QTRY_COMPARE(m_run->received(u"GET"_s, path).size(), asked + 1);
}

void InputKeptTest::signingOutLeavesTheSessionBehind()
{
    QVERIFY(m_run->startSignedIn());
    state().selectMode(lumi::BrowseMode::playlists, false);
    QTRY_VERIFY(m_run->window().windowTitle() != u"Lumivale"_s);
    QTest::keyClick(&m_run->window(), Qt::Key_Comma, Qt::ControlModifier);
    QPushButton* signOut = nullptr;
    QTRY_VERIFY((signOut = AppRun::find<QPushButton>(u"application.signOut"_s)));
    QTest::mouseClick(signOut, Qt::LeftButton);

    QTRY_VERIFY(!AppRun::find<lumi::SettingsView>(u"settings"_s));
    QVERIFY(!m_run->app().guidance()->settingsRequested());
    auto* signIn = qobject_cast<lumi::AuthView*>(m_run->window().content());
    QVERIFY(signIn);
    QCOMPARE(signIn->mode(), lumi::AuthView::Mode::signIn);
    QTRY_VERIFY(m_run->window().isVisible());
    QCOMPARE(m_run->window().windowTitle(), u"Lumivale"_s);
    QTRY_VERIFY(AppRun::find<QLineEdit>(u"signIn.email"_s));
}

QTEST_MAIN(InputKeptTest)
#include "InputKeptTest.moc"
