#include "wallpaper/WallpaperLayout.h"

#include "wallpaper/CalendarOverlay.h"

#include <algorithm>
#include <cmath>

namespace lumi {

namespace {

// Halves away from zero; the caller has checked the range.
int nearest(double value)
{
    return int(std::round(value));
}

bool inRange(double value)
{
    return std::isfinite(value) && value >= 1 && value <= WallpaperLayout::maxSide;
}

} // namespace

std::optional<WallpaperLayout> WallpaperLayout::plan(QSize photoSize, WallpaperFit fit,
                                                     const ScreenGeometry& geometry)
{
    if (!geometry.isUsable() || photoSize.width() < 1 || photoSize.height() < 1)
        return std::nullopt;
    const double w = photoSize.width();
    const double h = photoSize.height();
    const double screenWidth = geometry.width * geometry.scale;
    const double screenHeight = geometry.height * geometry.scale;

    WallpaperLayout layout;
    if (fit == WallpaperFit::fit) {
        if (!inRange(std::round(screenWidth)) || !inRange(std::round(screenHeight)))
            return std::nullopt;
        const int W = nearest(screenWidth);
        const int H = nearest(screenHeight);
        const double r = std::min(W / w, H / h);
        const int dw = std::clamp(nearest(r * w), 1, W);
        const int dh = std::clamp(nearest(r * h), 1, H);
        const int x = nearest((W - dw) * 0.5);
        // The bar below the photo gets the rounded half; the one above takes the rest.
        const int below = nearest((H - dh) * 0.5);
        layout.canvas = QSize(W, H);
        layout.photo = QRect(x, H - dh - below, dw, dh);
        layout.ratio = r;
    } else if (const double r = std::max(screenWidth / w, screenHeight / h);
               r < 1 && inRange(std::round(screenWidth)) && inRange(std::round(screenHeight))) {
        // A photo larger than the display both ways: the part the desktop would show, at the
        // display's size, so that no pixel is decoded, drawn or encoded only to be scaled away.
        const int W = nearest(screenWidth);
        const int H = nearest(screenHeight);
        const int dw = std::max(nearest(r * w), W);
        const int dh = std::max(nearest(r * h), H);
        layout.canvas = QSize(W, H);
        layout.photo = QRect(nearest((W - dw) * 0.5), nearest((H - dh) * 0.5), dw, dh);
        layout.ratio = r;
    } else {
        if (photoSize.width() > maxSide || photoSize.height() > maxSide)
            return std::nullopt;
        layout.canvas = photoSize;
        layout.photo = QRect(QPoint(0, 0), photoSize);
        layout.ratio = 1;
    }

    const double W = layout.canvas.width();
    const double H = layout.canvas.height();
    const double k = std::max(screenWidth / W, screenHeight / H);
    const double vw = screenWidth / k;
    const double vh = screenHeight / k;
    layout.visible = QRectF((W - vw) * 0.5, (H - vh) * 0.5, vw, vh);
    layout.pixelsPerPoint = geometry.scale / k;
    if (!std::isfinite(layout.pixelsPerPoint) || layout.pixelsPerPoint <= 0)
        return std::nullopt;
    return layout;
}

QRectF WallpaperLayout::titleArea() const
{
    const QRectF shown = QRectF(photo).intersected(visible);
    return shown.isEmpty() ? QRectF(photo) : shown;
}

double WallpaperLayout::titleRight() const
{
    return titleArea().right() - 64 * ratio;
}

double WallpaperLayout::titleBaseline() const
{
    return titleArea().bottom() - 160 * ratio;
}

double WallpaperLayout::titleWidthLimit() const
{
    return 0.6 * titleArea().width();
}

std::optional<QRectF> WallpaperLayout::calendarRect(const CalendarOverlay& overlay, const ScreenGeometry& g,
                                                    bool titleDrawn) const
{
    const QSizeF base = overlay.baseSize;
    if (!g.isUsable() || !std::isfinite(overlay.zoom) || overlay.zoom <= 0 || !std::isfinite(base.width()) ||
        !std::isfinite(base.height()) || base.width() <= 0 || base.height() <= 0)
        return std::nullopt;

    const double u = pixelsPerPoint;
    const double reserve = titleDrawn ? 200 : 120;
    double margin = g.bottom + 20;
    if (overlay.isRight) {
        // Keep a calendar at the right above the title's band, measured from the shown bottom edge.
        const double band = (visible.bottom() - titleArea().bottom()) + ratio * reserve;
        margin = std::max(margin, std::max(0.0, band) / u + 10);
    }
    const double room = g.scale * (g.height - g.top - 20 - margin);
    const double height = std::min(base.height() * overlay.zoom, std::max(room, 1.0));
    const double widthPoints = base.width() * height / base.height() / g.scale;
    const double heightPoints = height / g.scale;
    const double x = overlay.isRight ? g.width - g.right - 20 - widthPoints : g.left + 20;
    const double y = overlay.isBottom ? g.height - margin - heightPoints : g.top + 20;

    const QRectF rect(visible.left() + u * x, visible.top() + u * y, u * widthPoints, u * heightPoints);
    if (!std::isfinite(rect.left()) || !std::isfinite(rect.top()) || !std::isfinite(rect.width()) ||
        !std::isfinite(rect.height()) || rect.height() <= 0)
        return std::nullopt;
    return rect;
}

} // namespace lumi
