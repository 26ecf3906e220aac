#include "app/MenuBarContent.h"
#include "app/KeyNameTranslator.h"
#include "support/app/RecordingPhotoStory.h"
#include "support/state/ModelHarness.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::Medium;
using lumi::MenuBarContent;
using lumi::ShortcutRegistry;
using lumi::User;
using lumi::test::ModelHarness;
using lumi::test::RecordingPhotoStory;
using Shortcut = ShortcutRegistry::Shortcut;

class MenuBarContentTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void layoutFollowsTheState_data();
    void layoutFollowsTheState();
    void rebuildsOnModelChangesAndBeforeOpening();
    void eachItemDoesItsJob_data();
    void eachItemDoesItsJob();

private:
    MenuBarContent& menu();
    QAction* item(const QString& title);
    /// One line per entry: "-" for a separator, else the text, a tab and the key shown, and
    /// " (off)" when it can't be chosen.
    QStringList layout();

    lumi::KeyNameTranslator m_keyNames;
    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<RecordingPhotoStory> m_stories;
    std::unique_ptr<MenuBarContent> m_menu;
};

void MenuBarContentTest::initTestCase()
{
    QCoreApplication::installTranslator(&m_keyNames);
}

void MenuBarContentTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_stories = std::make_unique<RecordingPhotoStory>(m_harness->journal);
}

void MenuBarContentTest::cleanup()
{
    m_menu.reset();
    m_stories.reset();
    m_harness.reset();
}

MenuBarContent& MenuBarContentTest::menu()
{
    if (!m_menu)
        m_menu = std::make_unique<MenuBarContent>(m_harness->model(), MenuBarContent::Services{
                                                                          .playlists = m_harness->playlists(),
                                                                          .guidance = m_harness->guidance(),
                                                                          .saver = m_harness->saver(),
                                                                          .rotation = m_harness->rotation,
                                                                          .shortcuts = m_harness->shortcuts,
                                                                          .window = m_harness->window,
                                                                          .stories = *m_stories,
                                                                      });
    return *m_menu;
}

QAction* MenuBarContentTest::item(const QString& title)
{
    for (QAction* action : menu().menu()->actions()) {
        if (action->text() == title)
            return action;
    }
    return nullptr;
}

QStringList MenuBarContentTest::layout()
{
    QStringList lines;
    for (const QAction* action : menu().menu()->actions()) {
        if (action->isSeparator()) {
            lines.append(u"-"_s);
            continue;
        }
        QString line = action->text();
        if (!action->shortcut().isEmpty())
            line += u'\t' + action->shortcut().toString(QKeySequence::NativeText);
        if (!action->isEnabled())
            line += u" (off)"_s;
        lines.append(line);
    }
    return lines;
}

void MenuBarContentTest::layoutFollowsTheState_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<QVariant>("showing"); // the shown photo's title; invalid when nothing is shown
    QTest::addColumn<bool>("changing");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QList<int>>("taken"); // shortcut ids held by another program
    QTest::addColumn<QStringList>("expected");

    const QStringList tail{u"-"_s, u"Browse Photos…"_s,    u"Take the Tour"_s,
                           u"-"_s, u"Settings…\tCtrl+,"_s, u"Quit Lumivale\tCtrl+Q"_s};
    const QList<int> none;
    const QList<int> both{int(Shortcut::nextWallpaper), int(Shortcut::startSaver)};

    QTest::newRow("signed out") << false << QVariant() << false << false << none
                                << QStringList{u"Sign In to Lumivale…"_s, u"-"_s, u"Settings…\tCtrl+,"_s,
                                               u"Quit Lumivale\tCtrl+Q"_s};
    QTest::newRow("nothing shown yet, both shortcuts held by another program")
        << true << QVariant() << false << false << both
        << QStringList{u"Next Wallpaper\tSuper+Shift+W (inactive)"_s,
                       u"Start Screen Saver\tSuper+Shift+S (inactive)"_s} +
               tail;
    QTest::newRow("a photo shown, shortcuts held")
        << true << QVariant(u"Misty Ridge"_s) << false << false << none
        << QStringList{u"Misty Ridge (off)"_s, u"Next Wallpaper\tSuper+Shift+W"_s, u"Add to Favorites"_s,
                       u"View Photo Story"_s, u"Start Screen Saver\tSuper+Shift+S"_s} +
               tail;
    QTest::newRow("a photo without a title")
        << true << QVariant(QString()) << false << false << none
        << QStringList{u"Untitled (off)"_s, u"Next Wallpaper\tSuper+Shift+W"_s, u"Add to Favorites"_s,
                       u"View Photo Story"_s, u"Start Screen Saver\tSuper+Shift+S"_s} +
               tail;
    QTest::newRow("a server title with an ampersand and a tab")
        << true << QVariant(u"Rock & Roll\tat dawn"_s) << false << false << none
        << QStringList{u"Rock && Roll at dawn (off)"_s, u"Next Wallpaper\tSuper+Shift+W"_s,
                       u"Add to Favorites"_s, u"View Photo Story"_s, u"Start Screen Saver\tSuper+Shift+S"_s} +
               tail;
    QTest::newRow("a change under way")
        << true << QVariant() << true << false << none
        << QStringList{u"Changing…\tSuper+Shift+W (off)"_s, u"Start Screen Saver\tSuper+Shift+S"_s} + tail;
    QTest::newRow("offline") << true << QVariant() << false << true << none
                             << QStringList{u"Next Wallpaper\tSuper+Shift+W"_s,
                                            u"Start Screen Saver\tSuper+Shift+S"_s,
                                            u"Offline — will retry (off)"_s} +
                                    tail;
    QTest::newRow("next-wallpaper keys held by another program")
        << true << QVariant() << false << false << QList<int>{int(Shortcut::nextWallpaper)}
        << QStringList{u"Next Wallpaper\tSuper+Shift+W (inactive)"_s,
                       u"Start Screen Saver\tSuper+Shift+S"_s} +
               tail;
}

void MenuBarContentTest::layoutFollowsTheState()
{
    QFETCH(bool, signedIn);
    QFETCH(QVariant, showing);
    QFETCH(bool, changing);
    QFETCH(bool, offline);
    QFETCH(QList<int>, taken);
    QFETCH(QStringList, expected);

    ModelHarness& harness = *m_harness;
    lumi::AppModel& model = harness.model();
    if (signedIn) {
        model.setSessionToken(u"token"_s);
        model.setUser(User{.uuid = u"user-1"_s});
    }
    if (showing.isValid())
        harness.rotation.showing = Medium{.uuid = u"photo-1"_s, .title = showing.toString()};
    harness.rotation.changing = changing;
    model.setOffline(offline);
    for (const int id : std::as_const(taken))
        harness.shortcuts.taken.insert(Shortcut(id));
    harness.shortcuts.registerShortcuts();

    menu().rebuild();
    QCOMPARE(layout(), expected);
}

void MenuBarContentTest::rebuildsOnModelChangesAndBeforeOpening()
{
    lumi::AppModel& model = m_harness->model();
    QCOMPARE(layout().first(), u"Sign In to Lumivale…"_s);

    // Signing in swaps the layouts by itself.
    model.setSessionToken(u"token"_s);
    model.setUser(User{.uuid = u"user-1"_s});
    QTRY_COMPARE(layout().first(), u"Next Wallpaper"_s);

    // The rotation announces nothing: what it shows is read as the menu opens.
    m_harness->rotation.showing = Medium{.uuid = u"photo-1"_s, .title = u"Blue Hour"_s};
    menu().menu()->popup(QPoint(10, 10));
    QCOMPARE(layout().first(), u"Blue Hour (off)"_s);
    menu().menu()->hide();

    model.setOffline(true);
    QTRY_VERIFY(layout().contains(u"Offline — will retry (off)"_s));
}

void MenuBarContentTest::eachItemDoesItsJob_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("calls"); // in this order, among others
    QTest::addColumn<QString>("effect");    // a further outcome checked below, when not empty

    QTest::newRow("sign in") << false << u"Sign In to Lumivale…"_s << QStringList{u"window.show"_s}
                             << QString();
    QTest::newRow("settings, signed out")
        << false << u"Settings…"_s << QStringList{u"window.show"_s} << u"settings sheet"_s;
    QTest::newRow("quit") << false << u"Quit Lumivale"_s << QStringList() << u"quit"_s;
    QTest::newRow("next wallpaper") << true << u"Next Wallpaper"_s << QStringList{u"rotation.change(user)"_s}
                                    << QString();
    QTest::newRow("add to favorites") << true << u"Add to Favorites"_s << QStringList() << u"favorite"_s;
    QTest::newRow("view photo story")
        << true << u"View Photo Story"_s << QStringList{u"story.show(%1)"_s} << QString();
    QTest::newRow("start screen saver") << true << u"Start Screen Saver"_s << QStringList() << u"saver"_s;
    QTest::newRow("browse photos") << true << u"Browse Photos…"_s << QStringList{u"window.show"_s}
                                   << QString();
    QTest::newRow("take the tour") << true << u"Take the Tour"_s << QStringList{u"window.show"_s}
                                   << u"tour"_s;
    QTest::newRow("settings, signed in")
        << true << u"Settings…"_s << QStringList{u"window.show"_s} << u"settings sheet"_s;
    QTest::newRow("quit, signed in") << true << u"Quit Lumivale"_s << QStringList() << u"quit"_s;
}

void MenuBarContentTest::eachItemDoesItsJob()
{
    QFETCH(bool, signedIn);
    QFETCH(QString, title);
    QFETCH(QStringList, calls);
    QFETCH(QString, effect);

    ModelHarness& harness = *m_harness;
    QString photoId;
    if (signedIn) {
        harness.launchSignedIn();
        const QList<Medium> photos = harness.catalogPhotos(1);
        QVERIFY(!photos.isEmpty());
        harness.rotation.showing = photos.first();
        photoId = photos.first().uuid;
    }
    QSignalSpy quit(&menu(), &MenuBarContent::quitRequested);
    menu().rebuild();
    QAction* chosen = item(title);
    QVERIFY2(chosen, qPrintable(title));
    QVERIFY(chosen->isEnabled());
    chosen->trigger();
    QVERIFY(harness.settle());

    QStringList journal = harness.journal.calls();
    for (const QString& call : std::as_const(calls)) {
        const QString expected = call.contains(u"%1"_s) ? call.arg(photoId) : call;
        const qsizetype at = journal.indexOf(expected);
        QVERIFY2(at >= 0, qPrintable(expected + u" not in "_s + harness.journal.calls().join(u", "_s)));
        journal = journal.mid(at + 1);
    }
    if (effect == u"settings sheet") {
        QVERIFY(harness.guidance().settingsRequested());
        QVERIFY(!harness.guidance().settingsSection());
    } else if (effect == u"quit") {
        QCOMPARE(quit.count(), 1);
    } else if (effect == u"favorite") {
        // The menu doesn't wait for its tasks, and neither can settle.
        QTRY_VERIFY(harness.model().favoriteUUIDs().contains(photoId));
        QVERIFY(!harness.requestLines().filter(u"POST /albums/favorites"_s).isEmpty());
    } else if (effect == u"saver") {
        QTRY_VERIFY(!harness.journal.calls().filter(u"player.startSaver("_s).isEmpty());
    } else if (effect == u"tour") {
        QCOMPARE(harness.guidance().tourPreparing(), std::optional<int>(0));
    }
    if (effect != u"quit")
        QCOMPARE(quit.count(), 0);
}

QTEST_MAIN(MenuBarContentTest)
#include "MenuBarContentTest.moc"
