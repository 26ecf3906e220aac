#include "model/Defaults.h"
#include "platform/linux/XInputActivity.h"
#include "player/PlayerModel.h"
#include "player/windows/GalleryWindow.h"
#include "player/windows/PlayerController.h"
#include "player/windows/SaverWindow.h"
#include "support/ManualClock.h"
#include "support/PrivateXServer.h"
#include "support/player/SolidPhotoSource.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

std::unique_ptr<test::PrivateXServer> server;
// Room beside LEFT for a 4K monitor.
constexpr QSize serverScreen(5760, 2160);

const QStringList colours{u"red"_s,     u"lime"_s,  u"blue"_s, u"yellow"_s, u"cyan"_s,
                          u"magenta"_s, u"white"_s, u"gray"_s, u"maroon"_s, u"navy"_s};

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(u"xdotool"_s, arguments) == 0;
}

// A client of the test's own, as another application would hold the keyboard.
class OtherClient final
{
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(m_connection); }
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;

    bool grabKeyboard()
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_grab_keyboard_reply_t* reply =
            xcb_grab_keyboard_reply(m_connection,
                                    xcb_grab_keyboard(m_connection, 0, root, XCB_CURRENT_TIME,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                    nullptr);
        const bool grabbed = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
        std::free(reply);
        return grabbed;
    }
    // What the X server shows at this point of the root window (Xvfb's depth 24: 0x00RRGGBB).
    QColor pixelAt(const QPoint& at)
    {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_get_image_reply_t* reply =
            xcb_get_image_reply(m_connection,
                                xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, qint16(at.x()),
                                              qint16(at.y()), 1, 1, ~0u),
                                nullptr);
        QColor colour;
        if (reply && xcb_get_image_data_length(reply) >= 4)
            colour =
                QColor::fromRgb(*reinterpret_cast<const quint32*>(xcb_get_image_data(reply)) | 0xff000000u);
        std::free(reply);
        return colour;
    }
    // Whether the server has some key down: what the test pressed has been dealt with.
    bool anyKeyDown()
    {
        xcb_query_keymap_reply_t* reply =
            xcb_query_keymap_reply(m_connection, xcb_query_keymap(m_connection), nullptr);
        const bool down = reply && std::any_of(std::begin(reply->keys), std::end(reply->keys),
                                               [](quint8 bits) { return bits != 0; });
        std::free(reply);
        return down;
    }
    void ungrabKeyboard()
    {
        xcb_ungrab_keyboard(m_connection, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
    }

private:
    xcb_connection_t* m_connection;
};

struct Rig
{
    Rig() : defaults(home.filePath(u"defaults.json"_s)) {}
    ~Rig()
    {
        player.reset();
        // Cancelled sleeps end on the next turn, while the clock still exists.
        QTest::qWait(50);
    }

    // Moves the manual clock and gives the windows time to answer.
    void advance(std::chrono::milliseconds by)
    {
        clock.advance(by);
        QTest::qWait(50);
    }

    QStringList firstPhotos() const
    {
        QStringList shown;
        for (const SaverWindow* window : player->saverWindows())
            shown.append(window->model().current() ? window->model().current()->medium.uuid : u"-"_s);
        return shown;
    }

    QTemporaryDir home;
    test::ManualClock clock;
    test::SolidPhotoSource photos;
    Defaults defaults;
    XInputActivity input;
    QRandomGenerator random{7};
    std::unique_ptr<PlayerController> player = std::make_unique<PlayerController>(
        PlayerController::Services{photos, clock, defaults, input, random});
};

// Replaces the monitors named `gone` by `added` (name, "W/mmW x H/mmH + X + Y", output). Qt sees
// new monitors only under new names, and rereads them only when the root window changes size, so
// the output's mode goes away and back as a docking station's would.
QString replaceMonitors(const QStringList& gone, const QList<QStringList>& added)
{
    QList<QStringList> steps;
    for (const QString& name : gone)
        steps.append({u"--delmonitor"_s, name});
    for (const QStringList& monitor : added)
        steps.append(QStringList{u"--setmonitor"_s} + monitor);
    steps.append({u"--output"_s, u"screen"_s, u"--mode"_s, u"3200x1080"_s});
    steps.append({u"--output"_s, u"screen"_s, u"--mode"_s,
                  u"%1x%2"_s.arg(serverScreen.width()).arg(serverScreen.height())});
    for (const QStringList& step : steps) {
        if (const QString error = server->xrandr(step); !error.isEmpty())
            return error;
    }
    return {};
}

QList<QRect> screenGeometries()
{
    QList<QRect> geometries;
    for (const QScreen* screen : QGuiApplication::screens())
        geometries.append(screen->geometry());
    return geometries;
}

} // namespace

/// The saver's windows and the gallery on a private Xvfb with the monitors LEFT (1920x1080+0+0)
/// and RIGHT (1280x1024+1920+0), real input through xdotool, time on a manual clock.
class PlayerControllerX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void coversEveryScreen();
    void startPhotos_data();
    void startPhotos();
    void drawsEffectsPerScreen();
    void saverInput_data();
    void saverInput();
    void galleryKeys();
    void galleryEndsOnceLeavingFullScreen();
    void largeImagesOnlyAboveFullHd();
};

void PlayerControllerX11Test::coversEveryScreen()
{
    Rig rig;
    OtherClient x;
    rig.player->startSaver(test::colourPhotos({u"red"_s, u"blue"_s}), SaverEffect::fader, PlaySettings{});
    QVERIFY(rig.player->isShowing());
    QCOMPARE(rig.player->saverWindows().size(), 2);
    QCOMPARE(QGuiApplication::overrideCursor() ? QGuiApplication::overrideCursor()->shape() : Qt::ArrowCursor,
             Qt::BlankCursor);
    rig.advance(2s); // past the fade-in
    QTest::qWait(300);

    // Each photo exactly over its monitor (RIGHT's 5:4 letterboxes the 16:9 photo).
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (qsizetype i = 0; i < screens.size(); ++i)
        QCOMPARE(rig.player->saverWindows().at(i)->windowHandle()->geometry(), screens.at(i)->geometry());
    // The corner of the root window that no monitor shows is left alone.
    QVERIFY(x.pixelAt({3199, 1050}) != QColor(Qt::blue));
    const QList<std::pair<QPoint, QColor>> probes{
        {{0, 0}, Qt::red}, {{1919, 1079}, Qt::red}, {{1920, 512}, Qt::blue}, {{3199, 512}, Qt::blue}};
    for (const auto& [at, colour] : probes)
        QCOMPARE(x.pixelAt(at), colour);
    // Neither screen is wider than 1920 pixels.
    QCOMPARE(rig.photos.lastLarge, false);
}

void PlayerControllerX11Test::startPhotos_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("first");

    QTest::newRow("10 photos") << 10 << QStringList{colours.at(0), colours.at(5)};
    QTest::newRow("3 photos") << 3 << QStringList{colours.at(0), colours.at(1)};
    QTest::newRow("1 photo") << 1 << QStringList{colours.at(0), colours.at(0)};
}

void PlayerControllerX11Test::startPhotos()
{
    QFETCH(int, count);
    QFETCH(QStringList, first);

    Rig rig;
    rig.player->startSaver(test::colourPhotos(colours.mid(0, count)), SaverEffect::slider, PlaySettings{});
    QTRY_COMPARE(rig.firstPhotos(), first);
}

void PlayerControllerX11Test::drawsEffectsPerScreen()
{
    // The same seed draws the same effects, one per screen in screen order.
    QRandomGenerator seeded(7);
    QList<PlayMode> drawn;
    for (int i = 0; i < 2; ++i)
        drawn.append(PlayMode::saver(SaverEffect::Case(seeded.bounded(SaverEffect::table.size()))));

    const QList<std::pair<std::optional<SaverEffect>, QList<PlayMode>>> cases{
        {std::nullopt, drawn},
        {SaverEffect::reflections,
         {PlayMode::saver(SaverEffect::reflections), PlayMode::saver(SaverEffect::reflections)}}};
    for (const auto& [effect, modes] : cases) {
        Rig rig;
        rig.player->startSaver(test::colourPhotos(colours), effect, PlaySettings{});
        QList<PlayMode> played;
        for (const SaverWindow* window : rig.player->saverWindows())
            played.append(window->model().mode());
        QCOMPARE(played, modes);
    }
}

void PlayerControllerX11Test::saverInput_data()
{
    QTest::addColumn<QStringList>("before"); // xdotool, before the saver starts
    QTest::addColumn<int>("at");             // ms after the start
    QTest::addColumn<QStringList>("input");  // xdotool, then
    QTest::addColumn<bool>("othersGrab");    // another client holds the keyboard
    QTest::addColumn<bool>("ends");

    const QStringList none;
    QTest::newRow("key") << none << 0 << QStringList{u"key"_s, u"a"_s} << false << true;
    QTest::newRow("click 1") << none << 0 << QStringList{u"click"_s, u"1"_s} << false << true;
    QTest::newRow("click 3") << none << 0 << QStringList{u"click"_s, u"3"_s} << false << true;
    QTest::newRow("scroll") << none << 0 << QStringList{u"click"_s, u"5"_s} << false << true;
    QTest::newRow("20 px at 1.0 s") << none << 1000
                                    << QStringList{u"mousemove_relative"_s, u"--"_s, u"-20"_s, u"0"_s}
                                    << false << false;
    QTest::newRow("10 px at 3 s") << none << 3000
                                  << QStringList{u"mousemove_relative"_s, u"--"_s, u"-6"_s, u"8"_s} << false
                                  << false;
    QTest::newRow("13 px at 3 s") << none << 3000
                                  << QStringList{u"mousemove_relative"_s, u"--"_s, u"-13"_s, u"0"_s} << false
                                  << true;
    QTest::newRow("key held since before")
        << QStringList{u"keydown"_s, u"a"_s} << 3000 << none << false << false;
    QTest::newRow("modifier released at 0.2 s") << QStringList{u"keydown"_s, u"ctrl"_s} << 200
                                                << QStringList{u"keyup"_s, u"ctrl"_s} << false << false;
    QTest::newRow("key at 2 s under another's grab")
        << none << 2000 << QStringList{u"key"_s, u"a"_s} << true << true;
}

void PlayerControllerX11Test::saverInput()
{
    QFETCH(QStringList, before);
    QFETCH(int, at);
    QFETCH(QStringList, input);
    QFETCH(bool, othersGrab);
    QFETCH(bool, ends);

    OtherClient other;
    if (othersGrab)
        QVERIFY(other.grabKeyboard());
    // The pointer rests on RIGHT: a click there must end LEFT's window too.
    QVERIFY(xdotool({u"mousemove"_s, u"2500"_s, u"500"_s}));
    if (!before.isEmpty()) {
        QVERIFY(xdotool(before));
        QTRY_VERIFY(other.anyKeyDown());
    }

    Rig rig;
    rig.player->startSaver(test::colourPhotos(colours), SaverEffect::fader, PlaySettings{});
    const QList<SaverWindow*> windows = rig.player->saverWindows();
    QList<QPointer<SaverWindow>> watched(windows.cbegin(), windows.cend());
    QTest::qWait(200);
    rig.advance(std::chrono::milliseconds(at));
    if (!input.isEmpty())
        QVERIFY(xdotool(input));
    QTest::qWait(500); // held keys repeat meanwhile
    rig.advance(PlayerController::watchInterval);
    if (!before.isEmpty() && before.constFirst() == u"keydown"_s)
        QVERIFY(xdotool({u"keyup"_s, before.constLast()}));
    other.ungrabKeyboard();

    QCOMPARE(!rig.player->isShowing(), ends);
    if (!ends)
        return;
    QTRY_VERIFY(
        std::none_of(watched.cbegin(), watched.cend(), [](const auto& window) { return bool(window); }));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    QCOMPARE(rig.photos.clears, 1);
    QVERIFY2(other.grabKeyboard(), "the saver still holds the keyboard");
    other.ungrabKeyboard();
}

void PlayerControllerX11Test::galleryKeys()
{
    Rig rig;
    QLineEdit elsewhere;
    elsewhere.show();
    rig.player->showGallery(test::colourPhotos(colours.mid(0, 4)), 1, PlayMode::slideshow(), PlaySettings{});
    GalleryWindow* gallery = rig.player->galleryWindow();
    QVERIFY(gallery && gallery->isFullScreen());
    // Without a window manager the full-screen state is confirmed by a property change queued
    // before the map; once exposed, that late confirmation can no longer undo the Escape below.
    QVERIFY(QTest::qWaitForWindowExposed(gallery));
    QCOMPARE(gallery->screen(), QGuiApplication::primaryScreen());
    PlayerModel& model = gallery->model();
    QTRY_COMPARE(model.current() ? model.current()->medium.uuid : QString(), colours.at(1));

    QWindow* window = gallery->windowHandle();
    QTest::keyClick(window, Qt::Key_Space);
    QCOMPARE(model.isPaused(), true);
    QTest::keyClick(window, Qt::Key_Right);
    QTRY_COMPARE(model.current()->medium.uuid, colours.at(2));
    QTest::keyClick(window, Qt::Key_Left);
    QTRY_COMPARE(model.current()->medium.uuid, colours.at(1));
    QCOMPARE(model.isPaused(), true);
    QTest::keyClick(window, Qt::Key_Space);
    QCOMPARE(model.isPaused(), false);

    // The same keys in another window of the app are that window's.
    QTest::keyClicks(&elsewhere, u" x"_s);
    QTest::keyClick(&elsewhere, Qt::Key_Escape);
    QCOMPARE(elsewhere.text(), u" x"_s);
    QVERIFY(rig.player->isShowing());
    QCOMPARE(model.isPaused(), false);

    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!rig.player->isShowing());
    QTRY_VERIFY(!gallery->isFullScreen());
    QVERIFY(gallery->isVisible());
    rig.advance(PlayerController::galleryHideDelay - 1ms);
    QVERIFY(gallery->isVisible());
    const QPointer<GalleryWindow> closing(gallery);
    rig.advance(1ms);
    QTRY_VERIFY(!closing);
}

void PlayerControllerX11Test::galleryEndsOnceLeavingFullScreen()
{
    Rig rig;
    rig.player->showGallery(test::colourPhotos(colours), 0, PlayMode::saver(SaverEffect::fader),
                            PlaySettings{});
    GalleryWindow* gallery = rig.player->galleryWindow();
    QVERIFY(gallery);
    gallery->showNormal();
    QVERIFY(!rig.player->isShowing());
    QCOMPARE(rig.photos.clears, 1);
    // The gallery keeps the pointer.
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // A saver replacing nothing, then a gallery replacing the saver: the pointer comes back once.
    rig.player->startSaver(test::colourPhotos(colours), SaverEffect::fader, PlaySettings{});
    rig.player->showGallery(test::colourPhotos(colours), 0, PlayMode::slideshow(), PlaySettings{});
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
    rig.player->galleryWindow()->close();
    QVERIFY(!rig.player->isShowing());
    QCOMPARE(rig.photos.clears, 3);
}

void PlayerControllerX11Test::largeImagesOnlyAboveFullHd()
{
    // A 4K monitor and a full-HD one beside it.
    QCOMPARE(server->xrandr({u"--newmode"_s, u"3200x1080"_s, u"0"_s, u"3200"_s, u"0"_s, u"0"_s, u"0"_s,
                             u"1080"_s, u"0"_s, u"0"_s, u"0"_s}),
             QString());
    QCOMPARE(server->xrandr({u"--addmode"_s, u"screen"_s, u"3200x1080"_s}), QString());
    QCOMPARE(replaceMonitors({u"LEFT"_s, u"RIGHT"_s}, {{u"UHD"_s, u"3840/1016x2160/571+0+0"_s, u"screen"_s},
                                                       {u"FHD"_s, u"1920/508x1080/286+3840+0"_s, u"none"_s}}),
             QString());
    QTRY_COMPARE_WITH_TIMEOUT(screenGeometries(), (QList<QRect>{{0, 0, 3840, 2160}, {3840, 0, 1920, 1080}}),
                              10000);

    {
        Rig rig;
        rig.player->startSaver(test::colourPhotos(colours), SaverEffect::fader, PlaySettings{});
        QTRY_COMPARE(rig.firstPhotos(), (QStringList{colours.at(0), colours.at(5)}));
        QVERIFY(rig.photos.largeRequests.contains(colours.at(0)));
        QVERIFY(!rig.photos.largeRequests.contains(colours.at(5)));
    }

    QCOMPARE(replaceMonitors({u"UHD"_s, u"FHD"_s}, {{u"LEFT"_s, u"1920/508x1080/286+0+0"_s, u"screen"_s},
                                                    {u"RIGHT"_s, u"1280/339x1024/271+1920+0"_s, u"none"_s}}),
             QString());
    QTRY_COMPARE_WITH_TIMEOUT(screenGeometries(), (QList<QRect>{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}),
                              10000);
}

} // namespace lumi

int main(int argc, char** argv)
{
    lumi::server = std::make_unique<lumi::test::PrivateXServer>(lumi::test::PrivateXServer::defaultMonitors(),
                                                                lumi::serverScreen);
    if (lumi::server->display().isEmpty()) {
        qCritical("%s", qPrintable(lumi::server->error()));
        return 1;
    }
    qputenv("DISPLAY", lumi::server->display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status = 0;
    {
        QApplication app(argc, argv);
        lumi::PlayerControllerX11Test test;
        status = QTest::qExec(&test, argc, argv);
    }
    lumi::server.reset();
    return status;
}

#include "PlayerControllerX11Test.moc"
