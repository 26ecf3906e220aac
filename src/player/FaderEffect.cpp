#include "player/FaderEffect.h"

#include <QPainter>

namespace lumi {

void FaderEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    layers().prune(now);
    for (auto& layer : layers().layers()) {
        painter.setOpacity(layer.opacity(now));
        layer.look.paint(painter, QRectF(QPointF(), area));
    }
    painter.setOpacity(1);
}

} // namespace lumi
