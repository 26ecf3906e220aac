#pragma once

#include "model/PlaySettings.h"
#include "player/CaptionedPhoto.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"

namespace lumi {

/// The cross-fade: the new photo fades in over the old one as it fades out. Also the gallery's
/// slideshow.
class FaderEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FaderEffect)

public:
    explicit FaderEffect(PlaySettings settings);

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;

private:
    PlaySettings m_settings;
    PhotoLayers<CaptionedPhoto> m_layers;
};

} // namespace lumi
