#include "platform/linux/X11Hotkeys.h"
#include "player/GlobalShortcuts.h"
#include "support/LogLines.h"
#include "support/PrivateXServerMain.h"
#include "support/TemporaryHome.h"
#include "support/state/RecordingRotation.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

using Shortcut = ShortcutRegistry::Shortcut;

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}

// The key the current keyboard mapping puts the keysym on first; 0 when none.
int keycodeOf(const QString& keysym)
{
    QProcess lookup;
    lookup.start(u"sh"_s, {u"-c"_s, u"xmodmap -pke | awk '$4 == \"%1\" { print $2; exit }'"_s.arg(keysym)});
    lookup.waitForFinished();
    return QString::fromUtf8(lookup.readAllStandardOutput()).trimmed().toInt();
}

// Runs a keyboard tool (xmodmap, setxkbmap) and gives the X server's notices time to arrive.
bool remap(const QString& command)
{
    const bool done = QProcess::execute(u"sh"_s, {u"-c"_s, command}) == 0;
    QTest::qWait(300);
    return done;
}

struct Rig
{
    Rig()
        : shortcuts(hotkeys, rotation, [this]() -> QCoro::Task<void> {
              ++saverStarts;
              co_return;
          })
    {
        journal.clear();
    }

    // Presses the combination and waits long enough for a queued action to run.
    void press(const QString& combination)
    {
        QVERIFY(xdotool({u"key"_s, combination}));
        QTest::qWait(300);
    }

    test::TemporaryHome home;
    test::CallJournal journal;
    test::RecordingRotation rotation{journal};
    int saverStarts = 0;
    X11Hotkeys hotkeys;
    GlobalShortcuts shortcuts;
};

} // namespace

/// The global shortcuts, grabbed on a private Xvfb and pressed through xdotool.
class GlobalShortcutsX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void presses_data();
    void presses();
    void keyHeldByAnotherClient();
    void unregisterSilences();
    void followsKeyboardMappingChanges_data();
    void followsKeyboardMappingChanges();
    void aKeyLostAtALayoutChangeIsTriedAtTheNext();
};

void GlobalShortcutsX11Test::presses_data()
{
    QTest::addColumn<QString>("lock");
    QTest::addColumn<QString>("combination");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("saverStarts");

    const QStringList change{u"rotation.change(user)"_s};
    for (const QString& lock : {QString(), u"Caps_Lock"_s, u"Num_Lock"_s}) {
        const QString with = lock.isEmpty() ? QString() : u" with "_s + lock;
        QTest::addRow("super+shift+w%s", qPrintable(with)) << lock << u"super+shift+w"_s << change << 0;
        QTest::addRow("super+shift+s%s", qPrintable(with))
            << lock << u"super+shift+s"_s << QStringList() << 1;
    }
    for (const QString& other : {u"ctrl+shift+w"_s, u"shift+w"_s, u"super+w"_s, u"super+alt+shift+w"_s})
        QTest::addRow("%s", qPrintable(other)) << QString() << other << QStringList() << 0;
}

void GlobalShortcutsX11Test::presses()
{
    QFETCH(QString, lock);
    QFETCH(QString, combination);
    QFETCH(QStringList, calls);
    QFETCH(int, saverStarts);

    Rig rig;
    rig.shortcuts.registerShortcuts();
    QVERIFY(rig.shortcuts.isRegistered(Shortcut::nextWallpaper));
    QVERIFY(rig.shortcuts.isRegistered(Shortcut::startSaver));
    if (!lock.isEmpty())
        QVERIFY(xdotool({u"key"_s, lock}));
    rig.press(combination);
    if (!lock.isEmpty())
        QVERIFY(xdotool({u"key"_s, lock}));
    QCOMPARE(rig.journal.calls(), calls);
    QCOMPARE(rig.saverStarts, saverStarts);
}

void GlobalShortcutsX11Test::keyHeldByAnotherClient()
{
    // Another client holds Super+Shift+S (without lock keys) before the app asks.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    Rig rig;
    const int code = keycodeOf(u"s"_s);
    QVERIFY(code > 0);
    xcb_generic_error_t* error = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT, xcb_keycode_t(code),
                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    QVERIFY(!error);

    rig.shortcuts.registerShortcuts();
    QVERIFY(rig.shortcuts.isRegistered(Shortcut::nextWallpaper));
    QVERIFY(!rig.shortcuts.isRegistered(Shortcut::startSaver));
    QVERIFY(test::logLines(u"hotkeys"_s)
                .contains(u"shortcut 2 not registered (status 10); another app may hold it"_s));
    // The variants the app did get (with the lock keys) were let go: the other client can take
    // the one with Caps Lock too.
    error = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK,
                                    xcb_keycode_t(code), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    QVERIFY2(!error, "the app still holds Super+Shift+Caps+S");

    // Once the other client lets go, the next registration takes it.
    xcb_disconnect(other);
    QTest::qWait(100);
    rig.shortcuts.registerShortcuts();
    QVERIFY(rig.shortcuts.isRegistered(Shortcut::startSaver));
    rig.press(u"super+shift+s"_s);
    QCOMPARE(rig.saverStarts, 1);
}

void GlobalShortcutsX11Test::unregisterSilences()
{
    Rig rig;
    rig.shortcuts.registerShortcuts();
    rig.shortcuts.unregisterAll();
    QVERIFY(!rig.shortcuts.isRegistered(Shortcut::nextWallpaper));
    QVERIFY(!rig.shortcuts.isRegistered(Shortcut::startSaver));
    rig.press(u"super+shift+w"_s);
    rig.press(u"super+shift+s"_s);
    QCOMPARE(rig.journal.calls(), QStringList());
    QCOMPARE(rig.saverStarts, 0);

    rig.shortcuts.registerShortcuts();
    rig.press(u"super+shift+s"_s);
    QCOMPARE(rig.saverStarts, 1);
}

void GlobalShortcutsX11Test::followsKeyboardMappingChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("restore");
    QTest::addColumn<QString>("onOldKey"); // the letter W's old key gives after the change

    const QString w = QString::number(keycodeOf(u"w"_s));
    const QString x = QString::number(keycodeOf(u"x"_s));
    QTest::newRow("xmodmap swaps W and X")
        << u"xmodmap -e 'keycode %1 = x X' -e 'keycode %2 = w W'"_s.arg(w, x)
        << u"xmodmap -e 'keycode %1 = w W' -e 'keycode %2 = x X'"_s.arg(w, x) << u"x"_s;
    QTest::newRow("setxkbmap fr") << u"setxkbmap fr"_s << u"setxkbmap us"_s << u"z"_s;
}

void GlobalShortcutsX11Test::followsKeyboardMappingChanges()
{
    QFETCH(QString, change);
    QFETCH(QString, restore);
    QFETCH(QString, onOldKey);

    const int oldKey = keycodeOf(u"w"_s);
    Rig rig;
    rig.shortcuts.registerShortcuts();
    QVERIFY(remap(change));
    const auto restored = qScopeGuard([&] { remap(restore); });
    QVERIFY(keycodeOf(u"w"_s) != oldKey);
    QCOMPARE(keycodeOf(onOldKey), oldKey);

    // W is grabbed where it is now; its old key, another letter now, is left alone.
    rig.press(u"super+shift+"_s + onOldKey);
    QCOMPARE(rig.journal.calls(), QStringList());
    rig.press(u"super+shift+w"_s);
    QCOMPARE(rig.journal.calls(), (QStringList{u"rotation.change(user)"_s}));
    rig.press(u"super+shift+s"_s);
    QCOMPARE(rig.saverStarts, 1);
    QVERIFY(rig.shortcuts.isRegistered(Shortcut::nextWallpaper));
}

void GlobalShortcutsX11Test::aKeyLostAtALayoutChangeIsTriedAtTheNext()
{
    const QString w = QString::number(keycodeOf(u"w"_s));
    const QString x = QString::number(keycodeOf(u"x"_s));
    Rig rig;
    rig.shortcuts.registerShortcuts();
    QCOMPARE(rig.shortcuts.state(Shortcut::nextWallpaper), ShortcutRegistry::State::held);

    // Another client holds Super+Shift on X's key, where the swap puts W.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    QVERIFY(!xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT,
                                    xcb_keycode_t(x.toInt()), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    QVERIFY(remap(u"xmodmap -e 'keycode %1 = x X' -e 'keycode %2 = w W'"_s.arg(w, x)));
    const auto restored =
        qScopeGuard([&] { remap(u"xmodmap -e 'keycode %1 = w W' -e 'keycode %2 = x X'"_s.arg(w, x)); });
    QTRY_COMPARE(rig.shortcuts.state(Shortcut::nextWallpaper), ShortcutRegistry::State::taken);
    QVERIFY(!rig.shortcuts.isRegistered(Shortcut::nextWallpaper));
    QCOMPARE(rig.shortcuts.state(Shortcut::startSaver), ShortcutRegistry::State::held);
    QVERIFY(test::logLines(u"hotkeys"_s)
                .contains(u"shortcut 1 lost with the keyboard layout change; another app may hold it"_s));

    // The other client lets go; the next layout change takes the key again.
    xcb_disconnect(other);
    QVERIFY(remap(u"xmodmap -e 'keycode %1 = w W' -e 'keycode %2 = x X'"_s.arg(w, x)));
    QTRY_COMPARE(rig.shortcuts.state(Shortcut::nextWallpaper), ShortcutRegistry::State::held);
    rig.press(u"super+shift+w"_s);
    QCOMPARE(rig.journal.calls(), (QStringList{u"rotation.change(user)"_s}));
}

} // namespace lumi

int main(int argc, char** argv)
{
    return lumi::test::runOnPrivateXServer(argc, argv,
                                           [] { return std::make_unique<lumi::GlobalShortcutsX11Test>(); });
}

#include "GlobalShortcutsX11Test.moc"
