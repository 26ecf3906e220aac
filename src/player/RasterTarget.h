#pragma once

#include <QRegion>
#include <QTransform>

#include <optional>

class QPainter;

namespace lumi {

/// The pixels a painter draws into, where a renderer may write them itself instead of drawing
/// an image through the painter: a 32-bit raster image (a widget's backing store qualifies), a
/// painter that neither turns nor shears, source-over composition. Writing there saves a pass
/// over a full-screen buffer and the serial blend that draws it.
struct RasterTarget final
{
    /// Null unless every condition holds.
    static std::optional<RasterTarget> of(QPainter& painter);

    /// The image's first row: the very bytes the painter's engine writes into.
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
    /// From the painter's units to the image's pixels.
    QTransform toPixels;
    /// What the painter may still change, in the image's pixels: the image, the system clip
    /// (a widget's exposed area) and the painter's own clip.
    QRegion clip;
    /// The painter's opacity, 0 to 256.
    int opacity = 256;
};

} // namespace lumi
