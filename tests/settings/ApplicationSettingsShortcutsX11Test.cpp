#include "platform/linux/X11Hotkeys.h"
#include "player/GlobalShortcuts.h"
#include "settings/ApplicationSettings.h"
#include "support/PrivateXServer.h"
#include "support/state/ModelHarness.h"

#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Wayland lets no client hold keys; this desktop can't be run here, so its answer stands in.
class WaylandHotkeys final : public Hotkeys
{
public:
    bool isSupported() const override { return false; }
    int grab(int, Qt::Key, Qt::KeyboardModifiers) override { return -1; }
    void release(int) override {}
    bool isHeld(int) const override { return false; }
};

int keycodeOf(const QString& keysym)
{
    QProcess lookup;
    lookup.start(u"sh"_s, {u"-c"_s, u"xmodmap -pke | awk '$4 == \"%1\" { print $2; exit }'"_s.arg(keysym)});
    lookup.waitForFinished();
    return QString::fromUtf8(lookup.readAllStandardOutput()).trimmed().toInt();
}

} // namespace

/// The shortcuts line of the application pane says what the desktop allows, with the real key
/// grabs on a private Xvfb.
class ApplicationSettingsShortcutsX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void lineSaysWhatTheDesktopAllows_data()
    {
        QTest::addColumn<QString>("desktop");
        QTest::addColumn<QString>("line");

        QTest::newRow("X11, keys free")
            << u"x11"_s
            << u"Super+Shift+W Next Wallpaper and Super+Shift+S Start Screen Saver, from any app."_s;
        QTest::newRow("X11, Super+Shift+S held by another client")
            << u"x11 taken"_s
            << u"Super+Shift+W Next Wallpaper, from any app. Super+Shift+S (Start Screen Saver) is in use by "
               "another app."_s;
        QTest::newRow("Wayland")
            << u"wayland"_s
            << u"This desktop (Wayland) lets no app use global shortcuts: Next Wallpaper and "
               "Start Screen Saver are in the tray menu."_s;
    }

    void lineSaysWhatTheDesktopAllows()
    {
        QFETCH(QString, desktop);
        QFETCH(QString, line);

        xcb_connection_t* other = xcb_connect(nullptr, nullptr);
        if (desktop == u"x11 taken"_s) {
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
            const int code = keycodeOf(u"s"_s);
            QVERIFY(code > 0);
            xcb_generic_error_t* error = xcb_request_check(
                other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_4 | XCB_MOD_MASK_SHIFT,
                                            xcb_keycode_t(code), XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            QVERIFY(!error);
        }
        test::ModelHarness h;
        AppModel& model = h.launchSignedIn();
        X11Hotkeys x11;
        WaylandHotkeys wayland;
        Hotkeys& hotkeys = desktop == u"wayland"_s ? static_cast<Hotkeys&>(wayland) : x11;
        GlobalShortcuts shortcuts(hotkeys, h.rotation, []() -> QCoro::Task<void> { co_return; });
        shortcuts.registerShortcuts();

        ApplicationSettings view(model, h.settings(), shortcuts);
        view.show();
        auto* shown = view.findChild<QLabel*>(u"application.shortcutsLine"_s);
        QVERIFY(shown);
        QCOMPARE(shown->text(), line);
        xcb_disconnect(other);
    }
};

} // namespace lumi

int main(int argc, char** argv)
{
    const lumi::test::PrivateXServer server;
    if (server.display().isEmpty()) {
        qCritical("%s", qPrintable(server.error()));
        return 1;
    }
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    lumi::ApplicationSettingsShortcutsX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "ApplicationSettingsShortcutsX11Test.moc"
