#include "platform/linux/X11RootPixmap.h"

#include "imaging/PhotoDecoder.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QRegion>
#include <QtEndian>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

struct FreeDeleter
{
    void operator()(void* pointer) const { std::free(pointer); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

struct ConnectionCloser
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionCloser>;

// How the server wants pixels of the root depth laid out in a ZPixmap image.
struct PixelLayout
{
    int bitsPerPixel = 0;
    int scanlinePad = 32;
    bool lsbFirst = true;
    quint32 redMask = 0;
    quint32 greenMask = 0;
    quint32 blueMask = 0;
};

QString describe(const xcb_generic_error_t* error, const char* what)
{
    return u"X server refused to %1 (error %2, request %3.%4)"_s.arg(QLatin1StringView(what))
        .arg(error->error_code)
        .arg(error->major_code)
        .arg(error->minor_code);
}

// Empty when the request succeeded.
QString check(xcb_connection_t* connection, xcb_void_cookie_t cookie, const char* what)
{
    Owned<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
    return error ? describe(error.get(), what) : QString();
}

xcb_screen_t* screenOf(xcb_connection_t* connection, int number)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (; it.rem; --number, xcb_screen_next(&it)) {
        if (number == 0)
            return it.data;
    }
    return nullptr;
}

std::optional<QRect> monitorArea(xcb_connection_t* connection, xcb_window_t root, const QString& name)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection, &xcb_randr_id);
    if (!extension || !extension->present)
        return std::nullopt;
    Owned<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(connection, xcb_randr_query_version(connection, 1, 5), nullptr));
    if (!version || (version->major_version == 1 && version->minor_version < 5))
        return std::nullopt;
    Owned<xcb_randr_get_monitors_reply_t> monitors(
        xcb_randr_get_monitors_reply(connection, xcb_randr_get_monitors(connection, root, 1), nullptr));
    if (!monitors)
        return std::nullopt;

    QList<std::pair<xcb_get_atom_name_cookie_t, QRect>> pending;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(monitors.get()); it.rem;
         xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t* info = it.data;
        pending.append(
            {xcb_get_atom_name(connection, info->name), QRect(info->x, info->y, info->width, info->height)});
    }
    std::optional<QRect> found;
    for (const auto& [cookie, area] : pending) {
        Owned<xcb_get_atom_name_reply_t> reply(xcb_get_atom_name_reply(connection, cookie, nullptr));
        if (!reply || found)
            continue;
        const QString monitor = QString::fromUtf8(xcb_get_atom_name_name(reply.get()),
                                                  xcb_get_atom_name_name_length(reply.get()));
        if (monitor == name)
            found = area;
    }
    return found;
}

QString pixelLayout(xcb_connection_t* connection, const xcb_screen_t* screen, PixelLayout* layout)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    layout->lsbFirst = setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == screen->root_depth) {
            layout->bitsPerPixel = it.data->bits_per_pixel;
            layout->scanlinePad = it.data->scanline_pad;
        }
    }
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals)) {
            const xcb_visualtype_t* visual = visuals.data;
            if (visual->visual_id != screen->root_visual)
                continue;
            if (visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR &&
                visual->_class != XCB_VISUAL_CLASS_DIRECT_COLOR)
                return u"the root window's visual is not true colour"_s;
            layout->redMask = visual->red_mask;
            layout->greenMask = visual->green_mask;
            layout->blueMask = visual->blue_mask;
        }
    }
    if ((layout->bitsPerPixel != 32 && layout->bitsPerPixel != 16) || !layout->redMask)
        return u"unsupported root window format (depth %1, %2 bits per pixel)"_s.arg(screen->root_depth)
            .arg(layout->bitsPerPixel);
    return {};
}

quint32 channel(int value, quint32 mask)
{
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const quint32 scaled = bits >= 8 ? quint32(value) << (bits - 8) : quint32(value) >> (8 - bits);
    return (scaled << shift) & mask;
}

// The image's rows in the server's pixel layout; empty when the image's own bytes already match.
QByteArray encodeRows(const QImage& image, const PixelLayout& layout, int* stride)
{
    const int bytesPerPixel = layout.bitsPerPixel / 8;
    const int padBytes = std::max(1, layout.scanlinePad / 8);
    *stride = (image.width() * bytesPerPixel + padBytes - 1) / padBytes * padBytes;
    const bool native = layout.bitsPerPixel == 32 && layout.redMask == 0xff0000 &&
                        layout.greenMask == 0xff00 && layout.blueMask == 0xff &&
                        layout.lsbFirst == (QSysInfo::ByteOrder == QSysInfo::LittleEndian) &&
                        *stride == image.bytesPerLine();
    if (native)
        return {};
    QByteArray out(qsizetype(*stride) * image.height(), '\0');
    for (int y = 0; y < image.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uchar* target = reinterpret_cast<uchar*>(out.data()) + qsizetype(y) * *stride;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb rgb = source[x];
            const quint32 pixel = channel(qRed(rgb), layout.redMask) |
                                  channel(qGreen(rgb), layout.greenMask) |
                                  channel(qBlue(rgb), layout.blueMask);
            uchar* at = target + x * bytesPerPixel;
            if (bytesPerPixel == 4)
                layout.lsbFirst ? qToLittleEndian(pixel, at) : qToBigEndian(pixel, at);
            else
                layout.lsbFirst ? qToLittleEndian(quint16(pixel), at) : qToBigEndian(quint16(pixel), at);
        }
    }
    return out;
}

// Sends the rows in requests of about a quarter MiB. The server reads each request into a buffer
// that stays that small and warm; a screen-sized request, or a fresh shared memory segment, costs
// both sides a page fault per page, which takes far longer than copying the bytes.
QList<xcb_void_cookie_t> sendRows(xcb_connection_t* connection, xcb_pixmap_t pixmap, xcb_gcontext_t gc,
                                  QPoint at, QSize size, const uchar* bytes, int stride, quint8 depth)
{
    constexpr qsizetype wantedBytes = 256 * 1024;
    const qsizetype maxBytes = qsizetype(xcb_get_maximum_request_length(connection)) * 4 -
                               qsizetype(sizeof(xcb_put_image_request_t));
    const int rowsPerRequest = int(std::max<qsizetype>(1, std::min(wantedBytes, maxBytes) / stride));
    QList<xcb_void_cookie_t> cookies;
    for (int row = 0; row < size.height(); row += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, size.height() - row);
        cookies.append(xcb_put_image_checked(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                                             quint16(size.width()), quint16(rows), qint16(at.x()),
                                             qint16(at.y() + row), 0, depth, quint32(rows) * stride,
                                             bytes + qsizetype(row) * stride));
    }
    return cookies;
}

QString putImage(xcb_connection_t* connection, xcb_pixmap_t pixmap, xcb_gcontext_t gc, QPoint at,
                 const QImage& image, const PixelLayout& layout, quint8 depth)
{
    int stride = 0;
    const QByteArray converted = encodeRows(image, layout, &stride);
    const uchar* bytes =
        converted.isEmpty() ? image.constBits() : reinterpret_cast<const uchar*>(converted.constData());
    const QList<xcb_void_cookie_t> cookies =
        sendRows(connection, pixmap, gc, at, image.size(), bytes, stride, depth);
    QString failure;
    for (const xcb_void_cookie_t cookie : cookies) {
        const QString error = check(connection, cookie, "draw the picture");
        if (failure.isEmpty())
            failure = error;
    }
    return failure;
}

xcb_atom_t intern(xcb_connection_t* connection, const char* name)
{
    Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_pixmap_t pixmapProperty(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t atom)
{
    Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, root, atom, XCB_ATOM_PIXMAP, 0, 1), nullptr));
    if (!reply || reply->type != XCB_ATOM_PIXMAP || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) < 4)
        return XCB_NONE;
    return *static_cast<const xcb_pixmap_t*>(xcb_get_property_value(reply.get()));
}

// The pixmap's area when it can be drawn from on this screen (the root's depth), else empty.
QRect pixmapArea(xcb_connection_t* connection, const xcb_screen_t* screen, xcb_pixmap_t pixmap)
{
    if (pixmap == XCB_NONE)
        return {};
    Owned<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, pixmap), nullptr));
    if (!geometry || geometry->depth != screen->root_depth)
        return {};
    return QRect(0, 0, geometry->width, geometry->height);
}

// Starts the new background from the current one so the other monitors keep their pictures; the
// area about to be painted is skipped.
void copyCurrent(xcb_connection_t* connection, const xcb_screen_t* screen, xcb_pixmap_t current,
                 xcb_pixmap_t pixmap, xcb_gcontext_t gc, const QRect& painted)
{
    const QRect available = pixmapArea(connection, screen, current);
    const QRegion rest = QRegion(0, 0, screen->width_in_pixels, screen->height_in_pixels) - painted;
    for (const QRect& part : rest) {
        const QRect copied = part & available;
        if (!copied.isEmpty())
            xcb_copy_area(connection, current, pixmap, gc, qint16(copied.x()), qint16(copied.y()),
                          qint16(copied.x()), qint16(copied.y()), quint16(copied.width()),
                          quint16(copied.height()));
    }
    // Whatever the old background did not cover is black.
    const quint32 black = screen->black_pixel;
    xcb_change_gc(connection, gc, XCB_GC_FOREGROUND, &black);
    for (const QRect& part : rest - available) {
        const xcb_rectangle_t rectangle{qint16(part.x()), qint16(part.y()), quint16(part.width()),
                                        quint16(part.height())};
        xcb_poly_fill_rectangle(connection, pixmap, gc, 1, &rectangle);
    }
}

// The pixmap this process published last, per X display; guarded by paint's lock.
QHash<QByteArray, xcb_pixmap_t>& publishedPixmaps()
{
    static QHash<QByteArray, xcb_pixmap_t> pixmaps;
    return pixmaps;
}

} // namespace

QString X11RootPixmap::paint(const QByteArray& display, const QString& monitorName, const QRect& fallbackArea,
                             const QString& file, const QImage& picture)
{
    int screenNumber = 0;
    const QByteArray displayName = display.isEmpty() ? qgetenv("DISPLAY") : display;
    const Connection connection(
        xcb_connect(display.isEmpty() ? nullptr : display.constData(), &screenNumber));
    xcb_connection_t* c = connection.get();
    if (xcb_connection_has_error(c))
        return u"cannot connect to the X display \"%1\""_s.arg(QString::fromLocal8Bit(displayName));
    const xcb_screen_t* screen = screenOf(c, screenNumber);
    if (!screen)
        return u"the X display has no screen %1"_s.arg(screenNumber);
    const xcb_window_t root = screen->root;

    const QRect bounds(0, 0, screen->width_in_pixels, screen->height_in_pixels);
    const QRect area = monitorArea(c, root, monitorName).value_or(fallbackArea) & bounds;
    if (area.isEmpty())
        return u"display %1 lies outside the X screen"_s.arg(monitorName);

    PixelLayout layout;
    if (QString error = pixelLayout(c, screen, &layout); !error.isEmpty())
        return error;
    QString error;
    const QImage image = picture.isNull() ? PhotoDecoder(file).decodeCovering(area.size(), &error)
                                          : PhotoDecoder::cover(picture, area.size());
    if (image.isNull())
        return u"cannot read %1: %2"_s.arg(file, error);

    const xcb_atom_t rootAtom = intern(c, "_XROOTPMAP_ID");
    const xcb_atom_t esetrootAtom = intern(c, "ESETROOT_PMAP_ID");
    if (rootAtom == XCB_ATOM_NONE || esetrootAtom == XCB_ATOM_NONE)
        return u"cannot name the root pixmap properties"_s;

    // Two paints at once would each start from the same old background and lose one picture. The
    // pictures are made ready before, side by side.
    static std::mutex serial;
    const std::lock_guard lock(serial);
    const xcb_pixmap_t oldRoot = pixmapProperty(c, root, rootAtom);
    const xcb_pixmap_t oldEsetroot = pixmapProperty(c, root, esetrootAtom);

    // Painting our own background in place spares the server a fresh screen-sized pixmap and the
    // copy into it on every change.
    const QByteArray key = displayName + '.' + QByteArray::number(screenNumber);
    const bool reuse = oldRoot != XCB_NONE && oldRoot == oldEsetroot &&
                       publishedPixmaps().value(key) == oldRoot && pixmapArea(c, screen, oldRoot) == bounds;
    const xcb_pixmap_t pixmap = reuse ? oldRoot : xcb_generate_id(c);
    if (!reuse) {
        error = check(
            c,
            xcb_create_pixmap_checked(c, screen->root_depth, pixmap, root, bounds.width(), bounds.height()),
            "create the background pixmap");
        if (!error.isEmpty())
            return error;
    }
    const xcb_gcontext_t gc = xcb_generate_id(c);
    error = check(c, xcb_create_gc_checked(c, gc, pixmap, 0, nullptr), "create a graphics context");
    if (!error.isEmpty())
        return error; // the connection closes without retaining, which frees a new pixmap

    if (!reuse)
        copyCurrent(c, screen, oldRoot, pixmap, gc, area);
    error = putImage(c, pixmap, gc, area.topLeft(), image, layout, screen->root_depth);
    if (!error.isEmpty())
        return error;

    // Set again when reused too: programs reading the background redraw when the properties change.
    const QRect cleared = reuse ? area : QRect();
    const xcb_void_cookie_t steps[] = {
        xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, root, rootAtom, XCB_ATOM_PIXMAP, 32, 1,
                                    &pixmap),
        xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, root, esetrootAtom, XCB_ATOM_PIXMAP, 32, 1,
                                    &pixmap),
        xcb_change_window_attributes_checked(c, root, XCB_CW_BACK_PIXMAP, &pixmap),
        xcb_clear_area_checked(c, 0, root, qint16(cleared.x()), qint16(cleared.y()), quint16(cleared.width()),
                               quint16(cleared.height())),
        xcb_free_gc_checked(c, gc),
        // A new pixmap must outlive this connection; it is freed by a later paint that replaces it.
        xcb_set_close_down_mode_checked(c,
                                        reuse ? XCB_CLOSE_DOWN_DESTROY_ALL : XCB_CLOSE_DOWN_RETAIN_PERMANENT),
    };
    const char* const what[] = {"set _XROOTPMAP_ID",         "set ESETROOT_PMAP_ID",
                                "set the root background",   "redraw the root window",
                                "free the graphics context", "keep the pixmap"};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        if (QString stepError = check(c, steps[i], what[i]); !stepError.isEmpty() && error.isEmpty())
            error = stepError;
    }
    if (!error.isEmpty())
        return error;
    publishedPixmaps().insert(key, pixmap);

    // Both properties naming the same pixmap means its owner left it retained for whoever sets the
    // next background. Killing that client frees the pixmap and its retained client slot alike; a
    // pixmap named by only one property may still be in use by a live program.
    if (oldRoot != XCB_NONE && oldRoot == oldEsetroot && oldRoot != pixmap) {
        Owned<xcb_generic_error_t> ignored(xcb_request_check(c, xcb_kill_client_checked(c, oldRoot)));
    }
    xcb_flush(c);
    return {};
}

} // namespace lumi
