#include "player/SliderEffect.h"

#include <QPainter>

#include <cmath>

namespace lumi {

void SliderEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    layers().prune(now);
    const QRectF bounds(QPointF(), area);
    painter.save();
    painter.setClipRect(bounds, Qt::IntersectClip);
    for (auto& layer : layers().layers()) {
        // Whole pixels keep each frame a plain copy of the pre-scaled photo.
        const qreal x = std::round(area.width() * (1 - layer.insertion(now) - layer.removal(now)));
        painter.translate(x, 0);
        layer.look.paint(painter, bounds);
        painter.translate(-x, 0);
    }
    painter.restore();
}

} // namespace lumi
