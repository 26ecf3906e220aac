#include "library/LibraryLayout.h"
#include "library/PhotoFolder.h"
#include "model/Defaults.h"
#include "model/Medium.h"
#include "platform/linux/X11RootWallpaperSetter.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/ManualClock.h"
#include "support/PrivateXServer.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"
#include "support/TestImages.h"
#include "support/state/RunTask.h"
#include "support/wallpaper/FakeRotationLibrary.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/WallpaperService.h"

#include <QNetworkAccessManager>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QColor teal(20, 150, 140);
const QColor amber(240, 170, 20);

bool near(const QColor& actual, const QColor& expected)
{
    return std::abs(actual.red() - expected.red()) <= 12 &&
           std::abs(actual.green() - expected.green()) <= 12 &&
           std::abs(actual.blue() - expected.blue()) <= 12;
}

} // namespace

/// From a photo the sync left in the wallpaper folder to the pixels of the X root window: the
/// library lookup, the composition and the real X11 backend on a private Xvfb with the two
/// monitors LEFT (1920x1080) and RIGHT (1280x1024). The displays are described by hand because
/// the test's own Qt connection talks to another X server than the one being painted.
class WallpaperServiceX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void syncedPhotosReachTheRootWindow();

private:
    QColor rootPixel(QPoint at);

    std::unique_ptr<test::PrivateXServer> m_server;
    xcb_connection_t* m_x = nullptr;
    xcb_window_t m_root = 0;
};

void WallpaperServiceX11Test::initTestCase()
{
    m_server = std::make_unique<test::PrivateXServer>();
    QVERIFY2(!m_server->display().isEmpty(), qPrintable(m_server->error()));
    m_x = xcb_connect(m_server->display().constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_x));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
}

void WallpaperServiceX11Test::cleanupTestCase()
{
    if (m_x)
        xcb_disconnect(m_x);
    m_server.reset();
}

QColor WallpaperServiceX11Test::rootPixel(QPoint at)
{
    auto* reply = xcb_get_image_reply(
        m_x, xcb_get_image(m_x, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, qint16(at.x()), qint16(at.y()), 1, 1, ~0u),
        nullptr);
    QColor color;
    if (reply && xcb_get_image_data_length(reply) >= 4) {
        quint32 value = 0; // depth 24: 0x00RRGGBB
        std::memcpy(&value, xcb_get_image_data(reply), 4);
        color = QColor::fromRgb(QRgb(value));
    }
    std::free(reply);
    return color;
}

void WallpaperServiceX11Test::syncedPhotosReachTheRootWindow()
{
    test::TemporaryHome home;
    QVERIFY(home.isValid());
    const QString base = home.path() + u"/Pictures"_s;
    const QString paper = LibraryLayout::at(base).paperDir;
    QVERIFY(test::writeFile(paper + u"/Harbour-3f9a01bc.jpg"_s,
                            test::jpegOf(test::solidImage({1920, 1080}, teal))));
    QVERIFY(test::writeFile(paper + u"/Dunes-7c2e55d0.jpg"_s,
                            test::jpegOf(test::solidImage({1000, 1000}, amber))));
    // Nothing listens there: the photos must come from the library, never from the network.
    const QString nowhere = u"http://127.0.0.1:9/cdn/"_s;
    const Medium harbour{.uuid = u"3f9a01bc-0000-4000-8000-000000000001"_s, .secureBaseUrl = nowhere};
    const Medium dunes{.uuid = u"7c2e55d0-0000-4000-8000-000000000002"_s, .secureBaseUrl = nowhere};

    QNetworkAccessManager network;
    test::ManualClock clock;
    CrashReporter reporter;
    X11RootWallpaperSetter setter(m_server->display());
    test::FakeRotationLibrary library;
    library.index = PhotoFolder::indexFolder(paper);
    LibrarySyncedPhotos synced(base, library, Defaults::shared());
    WallpaperService service(network, setter, clock, reporter, synced);

    CalendarOverlay calendar;
    calendar.request.theme = u"classic"_s;
    calendar.baseSize = CalendarRenderer::imageSize(calendar.request);
    const DisplayInfo left = test::FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080));
    const DisplayInfo right = test::FakeScreens::display(u"RIGHT"_s, QRect(1920, 0, 1280, 1024));
    const WallpaperFit fit(WallpaperFit::fit);
    QVERIFY(!test::runTask(service.applyWallpaper(harbour, left, calendar, fit, std::nullopt, true)));
    QVERIFY(!test::runTask(service.applyWallpaper(dunes, right, calendar, fit, std::nullopt, true)));

    const QList<std::pair<QPoint, QColor>> probes = {
        {{960, 540}, teal},                   // LEFT: the harbour fills the monitor
        {{60, 40}, Qt::black},                // LEFT: the classic calendar's header, top left
        {{1920 + 640, 512}, amber},           // RIGHT: the square dunes photo in the middle
        {{1920 + 60, 900}, Qt::black},        // RIGHT: the bar beside it, below the calendar
        {{1920 + 1280 - 60, 900}, Qt::black}, // RIGHT: the other bar
    };
    for (const auto& [at, expected] : probes) {
        const QColor actual = rootPixel(at);
        QVERIFY2(near(actual, expected),
                 qPrintable(u"root window at %1,%2 is %3, expected %4"_s.arg(at.x()).arg(at.y()).arg(
                     actual.name(), expected.name())));
    }
}

} // namespace lumi

QTEST_MAIN(lumi::WallpaperServiceX11Test)
#include "WallpaperServiceX11Test.moc"
