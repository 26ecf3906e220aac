#include "player/SliderEffect.h"

#include <QPainter>

#include <cmath>

namespace lumi {

SliderEffect::SliderEffect(PlaySettings settings) : m_settings(settings) {}

void SliderEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    m_layers.change(photo ? photo->id : QUuid(),
                    photo ? std::optional(CaptionedPhoto(*photo, m_settings.crop, m_settings.showTitles))
                          : std::nullopt,
                    transition);
}

void SliderEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_layers.prune(now);
    const QRectF bounds(QPointF(), area);
    painter.save();
    painter.setClipRect(bounds, Qt::IntersectClip);
    for (auto& layer : m_layers.layers()) {
        // Whole pixels keep each frame a plain copy of the pre-scaled photo.
        const qreal x = std::round(area.width() * (1 - layer.insertion(now) - layer.removal(now)));
        painter.translate(x, 0);
        layer.look.paint(painter, bounds);
        painter.translate(-x, 0);
    }
    painter.restore();
}

bool SliderEffect::isMoving(std::chrono::milliseconds now) const
{
    return m_layers.isMoving(now);
}

} // namespace lumi
