#pragma once

#include "model/WallpaperFit.h"
#include "wallpaper/ScreenGeometry.h"

#include <QRect>
#include <QRectF>
#include <QSize>

#include <optional>

namespace lumi {

struct CalendarOverlay;

/// Where everything goes on a composed wallpaper, in canvas pixels with the origin at the top left.
///
/// With `fit` the canvas has the display's pixel size and the photo is centred on it. With `fill`
/// the canvas is the photo itself and the desktop crops it to the display's aspect, so the title
/// and the calendar are placed inside the part the display shows; a photo larger than the display
/// both ways is cropped here instead, to a canvas of the display's size covered by the photo (its
/// rectangle reaching past the canvas), which the desktop then shows as it is.
struct WallpaperLayout final
{
    static constexpr int maxSide = 32768;

    QSize canvas;
    /// The photo's rectangle on the canvas.
    QRect photo;
    /// Draw ratio: photo pixels to canvas pixels (1 in fill, unless cropped to the display).
    double ratio = 1;
    /// The part of the canvas the display shows.
    QRectF visible;
    /// Canvas pixels per device-independent pixel of the display.
    double pixelsPerPoint = 1;

    /// None when the geometry is not usable or the photo or canvas would be empty or huge.
    static std::optional<WallpaperLayout> plan(QSize photoSize, WallpaperFit fit,
                                               const ScreenGeometry& geometry);

    /// Whether the photo reaches past the canvas: fill, cropped to the display's size.
    bool cropsPhoto() const { return !QRect(QPoint(0, 0), canvas).contains(photo); }
    /// The part of the photo the display shows; the title keeps to it.
    QRectF titleArea() const;
    /// Right end and baseline of the title, and the width it may take.
    double titleRight() const;
    double titleBaseline() const;
    double titleWidthLimit() const;
    /// Starting size of the title; it shrinks toward half of this when too wide.
    double titleSize() const { return 32 * ratio; }

    /// The calendar's rectangle: at its corner, inside the visible part, clear of the panels and,
    /// at the right, above the title's band. None when the overlay's numbers are not usable.
    std::optional<QRectF> calendarRect(const CalendarOverlay& overlay, const ScreenGeometry& geometry,
                                       bool titleDrawn) const;
};

} // namespace lumi
