#pragma once

#include <QColor>
#include <QRectF>

#include <functional>

class QImage;
class QPainter;

namespace lumi {

/// Soft shadows and glows: shapes are drawn into an alpha mask, blurred, tinted and laid onto the
/// image. Only the shadow reaches the image, never the shape itself.
class AlphaShadow final
{
public:
    AlphaShadow() = delete;

    /// Lays the shadow of what `draw` paints onto the target. `draw` gets a painter with the
    /// target's world transform and an opaque black brush; `bounds` (in those coordinates) must
    /// hold everything it paints. `blur` is in device pixels, about twice the Gaussian sigma;
    /// `spread` widens the shapes by that many device pixels before blurring (an outline's glow).
    static void paint(QPainter& target, const QRectF& bounds, qreal blur, const QColor& color,
                      const std::function<void(QPainter&)>& draw, qreal spread = 0);

    /// Gaussian blur of an 8-bit alpha image in place (exact when narrow, three box passes when
    /// wide); the outside counts as 0.
    static void blurAlpha(QImage& alpha, qreal sigma);
    /// Widens the shapes of an 8-bit alpha image by `radius` pixels in place; a fractional part
    /// widens edges by that share of a pixel.
    static void dilateAlpha(QImage& alpha, qreal radius);
};

} // namespace lumi
