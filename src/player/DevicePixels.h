#pragma once

#include <QPaintDevice>
#include <QPainter>

namespace lumi {

/// Device pixels per unit of what the painter draws on: 2 on a screen scaled twice. The effects
/// keep their pre-drawn photos, captions and cards at this resolution and tag them with it, so
/// a scaled screen shows them pixel for pixel instead of doubled.
inline qreal devicePixelRatio(const QPainter& painter)
{
    return painter.device() ? painter.device()->devicePixelRatio() : 1.0;
}

/// A transparent picture of `size` in drawing units, at `ratio` device pixels per unit.
inline QImage transparentImage(QSizeF size, qreal ratio)
{
    QImage image((size * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    return image;
}

} // namespace lumi
