#include "player/CaptionedEffect.h"

namespace lumi {

CaptionedEffect::CaptionedEffect(PlaySettings settings) : m_settings(settings) {}

void CaptionedEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    m_layers.change(photo ? photo->id : QUuid(),
                    photo ? std::optional(CaptionedPhoto(*photo, m_settings.crop, m_settings.showTitles))
                          : std::nullopt,
                    transition);
}

bool CaptionedEffect::isMoving(std::chrono::milliseconds now) const
{
    return m_layers.isMoving(now);
}

} // namespace lumi
