#include "player/FaderEffect.h"

#include <QPainter>

namespace lumi {

FaderEffect::FaderEffect(PlaySettings settings) : m_settings(settings) {}

void FaderEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    m_layers.change(photo ? photo->id : QUuid(),
                    photo ? std::optional(CaptionedPhoto(*photo, m_settings.crop, m_settings.showTitles))
                          : std::nullopt,
                    transition);
}

void FaderEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_layers.prune(now);
    for (auto& layer : m_layers.layers()) {
        painter.setOpacity(layer.opacity(now));
        layer.look.paint(painter, QRectF(QPointF(), area));
    }
    painter.setOpacity(1);
}

bool FaderEffect::isMoving(std::chrono::milliseconds now) const
{
    return m_layers.isMoving(now);
}

} // namespace lumi
