#include "wallpaper/WallpaperComposer.h"

#include "imaging/BundledFonts.h"
#include "imaging/JpegFile.h"
#include "imaging/LargeBitmap.h"
#include "imaging/PhotoDecoder.h"
#include "library/LibraryFiles.h"
#include "wallpaper/AlphaShadow.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/WallpaperLayout.h"

#include <QColorSpace>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Large enough for a fill-mode photo from a camera; the default limit refuses 6000x4000 photos.
constexpr int allocationLimitMiB = 1024;

// The canvas with the photo on black. An opaque photo that covers the canvas is the canvas itself:
// no second full-size bitmap, which at 5K costs more in page faults than the drawing.
QImage canvasWith(QImage photo, const WallpaperLayout& layout)
{
    if (photo.size() == layout.canvas && photo.format() == QImage::Format_RGB32)
        return photo;
    QImage canvas = LargeBitmap::create(layout.canvas, QImage::Format_RGB32);
    if (canvas.isNull())
        return canvas;
    if (photo.hasAlphaChannel())
        canvas.fill(Qt::black);
    QPainter painter(&canvas);
    if (!photo.hasAlphaChannel()) {
        for (const QRect& bar : QRegion(canvas.rect()).subtracted(layout.photo))
            painter.fillRect(bar, Qt::black);
        // An opaque photo replaces what is under it: a plain copy, no blend.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    }
    painter.drawImage(layout.photo.topLeft(), photo);
    painter.end();
    return canvas;
}

} // namespace

std::optional<QString> WallpaperComposer::cleanTitle(const std::optional<QString>& title)
{
    if (!title)
        return std::nullopt;
    QString text = title->trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // The title is one line; a break inside would draw as a box.
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

bool WallpaperComposer::isUprightJpeg(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(3) != QByteArrayLiteral("\xFF\xD8\xFF"))
        return false;
    file.close();
    QImageReader reader(path);
    return reader.canRead() && reader.transformation() == QImageIOHandler::TransformationNone;
}

bool WallpaperComposer::keepsPhoto(const QString& source, const std::optional<CalendarOverlay>& overlay,
                                   WallpaperFit fit, const std::optional<QString>& title)
{
    return !overlay && !cleanTitle(title) && fit == WallpaperFit::fill && isUprightJpeg(source);
}

std::optional<QString> WallpaperComposer::compose(const QString& source,
                                                  const std::optional<CalendarOverlay>& overlay,
                                                  WallpaperFit fit, const std::optional<QString>& title,
                                                  const ScreenGeometry& geometry, const QString& destination)
{
    QString error;
    if (keepsPhoto(source, overlay, fit, title)) {
        if (!LibraryFiles::copyInto(source, destination, &error))
            return u"copy failed: "_s + error;
        return std::nullopt;
    }
    const QImage canvas = draw(source, overlay, fit, title, geometry, &error);
    if (canvas.isNull())
        return error;
    return JpegFile::write(canvas, destination, JpegFile::photoQuality);
}

QImage WallpaperComposer::draw(const QString& source, const std::optional<CalendarOverlay>& overlay,
                               WallpaperFit fit, const std::optional<QString>& title,
                               const ScreenGeometry& geometry, QString* error)
{
    const std::optional<QString> text = cleanTitle(title);
    if (!geometry.isUsable()) {
        *error = u"unusable display geometry"_s;
        return {};
    }

    PhotoDecoder decoder(source);
    decoder.setAllocationLimit(allocationLimitMiB);
    const QSize upright = decoder.size();
    if (!upright.isValid()) {
        *error = decoder.problem();
        return {};
    }
    const std::optional<WallpaperLayout> layout = WallpaperLayout::plan(upright, fit, geometry);
    if (!layout) {
        *error = u"no canvas for a %1x%2 photo"_s.arg(upright.width()).arg(upright.height());
        return {};
    }

    // Cropped to the display, only the part it shows is kept from a decode near the display's size.
    QImage photo = layout->cropsPhoto() ? decoder.decodeCovering(layout->canvas, error)
                                        : decoder.decodeAt(layout->photo.size(), error);
    if (photo.isNull())
        return {};
    const QColorSpace space =
        photo.colorSpace().isValid() ? photo.colorSpace() : QColorSpace(QColorSpace::SRgb);
    QImage canvas = canvasWith(std::move(photo), *layout);
    if (canvas.isNull()) {
        *error = u"no bitmap for the canvas"_s;
        return {};
    }
    canvas.setColorSpace(space);
    canvas.setDotsPerMeterX(dotsPerMeter);
    canvas.setDotsPerMeterY(dotsPerMeter);

    if (text)
        drawTitle(canvas, *layout, *text);
    if (overlay) {
        const std::optional<PlacedCalendar> placed =
            renderCalendar(*layout, *overlay, geometry, text.has_value());
        if (!placed) {
            *error = u"the calendar did not render"_s;
            return {};
        }
        QPainter painter(&canvas);
        painter.setOpacity(std::clamp(overlay->alpha, 0.0, 1.0));
        painter.drawImage(placed->at, placed->image);
    }
    return canvas;
}

void WallpaperComposer::drawTitle(QImage& canvas, const WallpaperLayout& layout, const QString& title)
{
    BundledFonts::ensureRegistered();
    // Montserrat comes in Regular and SemiBold; SemiBold stays legible on a busy photo.
    QFont font(BundledFonts::family());
    font.setWeight(QFont::DemiBold);
    const double start = layout.titleSize();
    const double limit = layout.titleWidthLimit();
    double size = start;
    double width = 0;
    for (;;) {
        font.setPointSizeF(size);
        width = QFontMetricsF(font, &canvas).horizontalAdvance(title);
        const double next = size * 0.92;
        // A title still too wide at about half the size is drawn anyway.
        if (width <= limit || next <= start * 0.5)
            break;
        size = next;
    }

    const QPointF origin(layout.titleRight() - width, layout.titleBaseline());
    const QFontMetricsF metrics(font, &canvas);
    const QRectF bounds = metrics.boundingRect(title).translated(origin).adjusted(-size, -size, size, size);
    QPainter painter(&canvas);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    AlphaShadow::paint(painter, bounds, 4 * layout.ratio, QColor(0, 0, 0, 179), [&](QPainter& mask) {
        // The mask has its own resolution; the glyphs must come out as large as on the canvas.
        QFont maskFont = font;
        maskFont.setPointSizeF(size * canvas.logicalDpiY() / mask.device()->logicalDpiY());
        mask.setFont(maskFont);
        mask.setPen(Qt::black);
        mask.drawText(origin, title);
    });
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(origin, title);
}

std::optional<WallpaperComposer::PlacedCalendar>
WallpaperComposer::renderCalendar(const WallpaperLayout& layout, const CalendarOverlay& overlay,
                                  const ScreenGeometry& geometry, bool titleDrawn)
{
    if (!std::isfinite(overlay.alpha))
        return std::nullopt;
    const std::optional<QRectF> rect = layout.calendarRect(overlay, geometry, titleDrawn);
    if (!rect)
        return std::nullopt;
    // Rendered at the final size, so it is laid on without rescaling.
    std::optional<QImage> image =
        CalendarRenderer::render(overlay.request, rect->height() / overlay.baseSize.height());
    if (!image)
        return std::nullopt;
    const int height = layout.canvas.height();
    const int left = int(std::round(rect->left()));
    const int bottom = height - int(std::round(height - rect->bottom()));
    const QPoint at(left, bottom - image->height());
    return PlacedCalendar{std::move(*image), at};
}

} // namespace lumi
