#include "platform/linux/X11RootWallpaperSetter.h"
#include "support/FakeScreens.h"
#include "support/PrivateXServer.h"

#include <QCoroTask>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

using Probes = QList<std::pair<QPoint, QColor>>;

const QRect leftMonitor(0, 0, 1920, 1080);
const QRect rightMonitor(1920, 0, 1280, 1024);

QImage solid(QSize size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A picture whose outer tenth (left/right when wide, top/bottom when tall) is magenta: covering a
// screen of another aspect crops it away, while stretching or letterboxing would show it.
QImage framed(QSize size)
{
    QImage image = solid(size, Qt::white);
    QPainter painter(&image);
    if (size.width() > size.height()) {
        painter.fillRect(0, 0, size.width() / 10, size.height(), Qt::magenta);
        painter.fillRect(size.width() - size.width() / 10, 0, size.width() / 10, size.height(), Qt::magenta);
    } else {
        painter.fillRect(0, 0, size.width(), size.height() / 10, Qt::magenta);
        painter.fillRect(0, size.height() - size.height() / 10, size.width(), size.height() / 10,
                         Qt::magenta);
    }
    return image;
}

QImage halves(QSize size, const QColor& left, const QColor& right)
{
    QImage image = solid(size, left);
    QPainter(&image).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), right);
    return image;
}

bool near(const QColor& actual, const QColor& expected)
{
    return std::abs(actual.red() - expected.red()) <= 8 && std::abs(actual.green() - expected.green()) <= 8 &&
           std::abs(actual.blue() - expected.blue()) <= 8;
}

} // namespace

/// The X11 backend against a private Xvfb with two RandR monitors of different sizes, read back
/// pixel by pixel from the published root pixmap and from the root window itself.
class X11RootWallpaperSetterX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void paintsEachMonitorAndFreesTheOldPixmap();
    void keepsAForeignPixmapNamedByOnePropertyOnly();
    void coversTheMonitor_data();
    void coversTheMonitor();
    void failuresLeaveTheDesktopAlone_data();
    void failuresLeaveTheDesktopAlone();

private:
    QString writeJpeg(const QString& name, const QImage& image);
    WallpaperSetResult set(const QString& monitor, const QRect& geometry, const QString& file,
                           const QByteArray& display = {}, const QImage& picture = {});
    xcb_pixmap_t property(const char* name);
    QColor pixel(xcb_drawable_t drawable, QPoint at);
    bool exists(xcb_pixmap_t pixmap);
    void expectRegion(const QRect& monitor, const Probes& probes);

    std::unique_ptr<test::PrivateXServer> m_server;
    xcb_connection_t* m_x = nullptr;
    xcb_window_t m_root = 0;
    QTemporaryDir m_files;
};

void X11RootWallpaperSetterX11Test::initTestCase()
{
    m_server = std::make_unique<test::PrivateXServer>();
    QVERIFY2(!m_server->display().isEmpty(), qPrintable(m_server->error()));
    m_x = xcb_connect(m_server->display().constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_x));
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
    QVERIFY(m_files.isValid());
}

void X11RootWallpaperSetterX11Test::cleanupTestCase()
{
    if (m_x)
        xcb_disconnect(m_x);
    m_server.reset();
}

QString X11RootWallpaperSetterX11Test::writeJpeg(const QString& name, const QImage& image)
{
    const QString path = m_files.filePath(name);
    if (!image.save(path, "JPEG", 95))
        return {};
    return path;
}

WallpaperSetResult X11RootWallpaperSetterX11Test::set(const QString& monitor, const QRect& geometry,
                                                      const QString& file, const QByteArray& display,
                                                      const QImage& picture)
{
    X11RootWallpaperSetter setter(display.isEmpty() ? m_server->display() : display);
    const WallpaperRequest request{test::FakeScreens::display(monitor, geometry), file, picture};
    return QCoro::waitFor(setter.setWallpaper(request));
}

xcb_pixmap_t X11RootWallpaperSetterX11Test::property(const char* name)
{
    auto* atom = xcb_intern_atom_reply(m_x, xcb_intern_atom(m_x, 0, quint16(strlen(name)), name), nullptr);
    const xcb_atom_t id = atom ? atom->atom : 0;
    std::free(atom);
    auto* reply =
        xcb_get_property_reply(m_x, xcb_get_property(m_x, 0, m_root, id, XCB_ATOM_PIXMAP, 0, 1), nullptr);
    xcb_pixmap_t pixmap = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
        pixmap = *static_cast<xcb_pixmap_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return pixmap;
}

QColor X11RootWallpaperSetterX11Test::pixel(xcb_drawable_t drawable, QPoint at)
{
    auto* reply = xcb_get_image_reply(
        m_x,
        xcb_get_image(m_x, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, qint16(at.x()), qint16(at.y()), 1, 1, ~0u),
        nullptr);
    if (!reply || xcb_get_image_data_length(reply) < 4) {
        std::free(reply);
        return {};
    }
    // Xvfb at depth 24: 32-bit little-endian 0x00RRGGBB.
    quint32 value = 0;
    memcpy(&value, xcb_get_image_data(reply), 4);
    std::free(reply);
    return QColor::fromRgb(QRgb(value));
}

bool X11RootWallpaperSetterX11Test::exists(xcb_pixmap_t pixmap)
{
    auto* geometry = xcb_get_geometry_reply(m_x, xcb_get_geometry(m_x, pixmap), nullptr);
    const bool found = geometry != nullptr;
    std::free(geometry);
    return found;
}

void X11RootWallpaperSetterX11Test::expectRegion(const QRect& monitor, const Probes& probes)
{
    const xcb_pixmap_t published = property("_XROOTPMAP_ID");
    QVERIFY(published);
    for (const auto& [offset, color] : probes) {
        const QPoint at = monitor.topLeft() + offset;
        const QColor inPixmap = pixel(published, at);
        const QColor onScreen = pixel(m_root, at);
        QVERIFY2(near(inPixmap, color),
                 qPrintable(u"pixmap at %1,%2 is %3, expected %4"_s.arg(at.x()).arg(at.y()).arg(
                     inPixmap.name(), color.name())));
        QVERIFY2(near(onScreen, color),
                 qPrintable(u"root window at %1,%2 is %3, expected %4"_s.arg(at.x()).arg(at.y()).arg(
                     onScreen.name(), color.name())));
    }
}

static Probes corners(const QRect& monitor, const QColor& color)
{
    const int w = monitor.width(), h = monitor.height();
    return {{{2, 2}, color},
            {{w - 3, 2}, color},
            {{w / 2, h / 2}, color},
            {{2, h - 3}, color},
            {{w - 3, h - 3}, color}};
}

void X11RootWallpaperSetterX11Test::paintsEachMonitorAndFreesTheOldPixmap()
{
    const QString red = writeJpeg(u"red.jpg"_s, solid(leftMonitor.size(), Qt::red));
    const QString blue = writeJpeg(u"blue.jpg"_s, solid(rightMonitor.size(), Qt::blue));
    const QString green = writeJpeg(u"green.jpg"_s, solid(leftMonitor.size(), Qt::green));

    WallpaperSetResult result = set(u"LEFT"_s, leftMonitor, red);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    const xcb_pixmap_t first = property("_XROOTPMAP_ID");
    QCOMPARE(property("ESETROOT_PMAP_ID"), first);
    expectRegion(leftMonitor, corners(leftMonitor, Qt::red));

    // Our own background is painted in place.
    result = set(u"RIGHT"_s, rightMonitor, blue);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(property("_XROOTPMAP_ID"), first);
    QCOMPARE(property("ESETROOT_PMAP_ID"), first);
    expectRegion(rightMonitor, corners(rightMonitor, Qt::blue));
    expectRegion(leftMonitor, corners(leftMonitor, Qt::red));

    // Another program sets the background and leaves its pixmap retained, named by both properties.
    xcb_connection_t* other = xcb_connect(m_server->display().constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(other));
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(other)).data;
    const xcb_pixmap_t foreign = xcb_generate_id(other);
    xcb_create_pixmap(other, screen->root_depth, foreign, m_root, screen->width_in_pixels,
                      screen->height_in_pixels);
    const xcb_gcontext_t gc = xcb_generate_id(other);
    const quint32 yellow = 0xffff00;
    xcb_create_gc(other, gc, foreign, XCB_GC_FOREGROUND, &yellow);
    const xcb_rectangle_t all{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    xcb_poly_fill_rectangle(other, foreign, gc, 1, &all);
    for (const char* name : {"_XROOTPMAP_ID", "ESETROOT_PMAP_ID"}) {
        auto* atom =
            xcb_intern_atom_reply(other, xcb_intern_atom(other, 0, quint16(strlen(name)), name), nullptr);
        xcb_change_property(other, XCB_PROP_MODE_REPLACE, m_root, atom->atom, XCB_ATOM_PIXMAP, 32, 1,
                            &foreign);
        std::free(atom);
    }
    xcb_set_close_down_mode(other, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    std::free(xcb_get_input_focus_reply(other, xcb_get_input_focus(other), nullptr)); // round trip
    xcb_disconnect(other);
    QVERIFY(exists(first));

    result = set(u"LEFT"_s, leftMonitor, green);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    const xcb_pixmap_t second = property("_XROOTPMAP_ID");
    QVERIFY(second != foreign && second != first);
    QCOMPARE(property("ESETROOT_PMAP_ID"), second);
    QVERIFY2(!exists(foreign), "the replaced pixmap is still allocated");
    expectRegion(leftMonitor, corners(leftMonitor, Qt::green));
    expectRegion(rightMonitor, corners(rightMonitor, Qt::yellow));
}

void X11RootWallpaperSetterX11Test::keepsAForeignPixmapNamedByOnePropertyOnly()
{
    // Another program, still running, shows its own yellow pixmap and names it in _XROOTPMAP_ID only.
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data;
    const xcb_pixmap_t foreign = xcb_generate_id(m_x);
    xcb_create_pixmap(m_x, screen->root_depth, foreign, m_root, screen->width_in_pixels,
                      screen->height_in_pixels);
    const xcb_gcontext_t gc = xcb_generate_id(m_x);
    const quint32 yellow = 0xffff00;
    xcb_create_gc(m_x, gc, foreign, XCB_GC_FOREGROUND, &yellow);
    const xcb_rectangle_t all{0, 0, screen->width_in_pixels, screen->height_in_pixels};
    xcb_poly_fill_rectangle(m_x, foreign, gc, 1, &all);
    auto* atom = xcb_intern_atom_reply(m_x, xcb_intern_atom(m_x, 0, 13, "_XROOTPMAP_ID"), nullptr);
    xcb_change_property(m_x, XCB_PROP_MODE_REPLACE, m_root, atom->atom, XCB_ATOM_PIXMAP, 32, 1, &foreign);
    std::free(atom);
    xcb_free_gc(m_x, gc);
    std::free(xcb_get_input_focus_reply(m_x, xcb_get_input_focus(m_x), nullptr)); // round trip

    const QString cyan = writeJpeg(u"cyan.jpg"_s, solid(leftMonitor.size(), Qt::cyan));
    const WallpaperSetResult result = set(u"LEFT"_s, leftMonitor, cyan);
    QVERIFY2(result.ok(), qPrintable(result.error()));

    QVERIFY2(exists(foreign), "a pixmap named by only one property was freed");
    QVERIFY(property("_XROOTPMAP_ID") != foreign);
    expectRegion(leftMonitor, corners(leftMonitor, Qt::cyan));
    // The other monitor keeps what the root showed before: the foreign picture.
    expectRegion(rightMonitor, corners(rightMonitor, Qt::yellow));
    xcb_free_pixmap(m_x, foreign);
    xcb_flush(m_x);
}

void X11RootWallpaperSetterX11Test::coversTheMonitor_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<Probes>("probes");

    const int rw = rightMonitor.width(), rh = rightMonitor.height();
    QTest::newRow("wide picture on a 5:4 monitor: sides cropped")
        << u"RIGHT"_s << framed(QSize(1600, 900)) << corners(rightMonitor, Qt::white);
    QTest::newRow("tall picture on a 16:9 monitor: top and bottom cropped")
        << u"LEFT"_s << framed(QSize(900, 1600)) << corners(leftMonitor, Qt::white);
    QTest::newRow("smaller picture of the same aspect: scaled up")
        << u"RIGHT"_s << halves(QSize(320, 256), Qt::red, Qt::blue)
        << Probes{{{2, 2}, Qt::red},
                  {{rw / 2 - 20, rh - 3}, Qt::red},
                  {{rw / 2 + 20, 2}, Qt::blue},
                  {{rw - 3, rh - 3}, Qt::blue}};
    QTest::newRow("exact size: shown pixel for pixel")
        << u"RIGHT"_s << halves(rightMonitor.size(), Qt::green, Qt::magenta)
        << Probes{{{rw / 2 - 4, rh / 2}, Qt::green}, {{rw / 2 + 4, rh / 2}, Qt::magenta}};
}

void X11RootWallpaperSetterX11Test::coversTheMonitor()
{
    QFETCH(QString, monitor);
    QFETCH(QImage, picture);
    QFETCH(Probes, probes);

    const QRect geometry = monitor == u"LEFT"_s ? leftMonitor : rightMonitor;
    const QString file = writeJpeg(QString::fromLatin1(QTest::currentDataTag()) + u".jpg"_s, picture);
    WallpaperSetResult result = set(monitor, geometry, file);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    expectRegion(geometry, probes);

    // Handed the picture itself (the file not written yet), it paints that.
    const QString notYet = m_files.filePath(u"not-yet.jpg"_s);
    set(monitor, geometry, writeJpeg(u"black.jpg"_s, solid(geometry.size(), Qt::black)));
    result = set(monitor, geometry, notYet, {}, picture);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    expectRegion(geometry, probes);
}

void X11RootWallpaperSetterX11Test::failuresLeaveTheDesktopAlone_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("content"); // written as the file; empty: no file
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing file") << u"LEFT"_s << leftMonitor << QString() << QByteArray()
                                  << u"cannot read"_s;
    QTest::newRow("not a picture") << u"LEFT"_s << leftMonitor << u"plain text"_s << QByteArray()
                                   << u"cannot read"_s;
    QTest::newRow("display outside the X screen")
        << u"GHOST"_s << QRect(4000, 0, 800, 600) << u"jpeg"_s << QByteArray() << u"outside the X screen"_s;
    QTest::newRow("no X server") << u"LEFT"_s << leftMonitor << u"jpeg"_s << QByteArray(":7999")
                                 << u"cannot connect to the X display \":7999\""_s;
}

void X11RootWallpaperSetterX11Test::failuresLeaveTheDesktopAlone()
{
    QFETCH(QString, monitor);
    QFETCH(QRect, geometry);
    QFETCH(QString, content);
    QFETCH(QByteArray, display);
    QFETCH(QString, reason);

    QString file = m_files.filePath(u"failure.jpg"_s);
    QFile::remove(file);
    if (content == u"jpeg"_s) {
        file = writeJpeg(u"failure.jpg"_s, solid(QSize(64, 64), Qt::gray));
    } else if (!content.isEmpty()) {
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write(content.toUtf8());
    }
    const xcb_pixmap_t before = property("_XROOTPMAP_ID");

    const WallpaperSetResult result = set(monitor, geometry, file, display);
    QVERIFY(!result.ok());
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
    QCOMPARE(property("_XROOTPMAP_ID"), before);
    QVERIFY(!before || exists(before));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::X11RootWallpaperSetterX11Test)
#include "X11RootWallpaperSetterX11Test.moc"
