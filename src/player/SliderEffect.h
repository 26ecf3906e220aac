#pragma once

#include "model/PlaySettings.h"
#include "player/CaptionedPhoto.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"

namespace lumi {

/// The slide: the new photo comes in from the right edge while the old one leaves to the left.
class SliderEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SliderEffect)

public:
    explicit SliderEffect(PlaySettings settings);

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;

private:
    PlaySettings m_settings;
    PhotoLayers<CaptionedPhoto> m_layers;
};

} // namespace lumi
