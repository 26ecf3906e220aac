#pragma once

#include "model/PlaySettings.h"
#include "player/CaptionedPhoto.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"

namespace lumi {

/// An effect of full-screen captioned photos, filled or fitted as the settings say; its subclass
/// says how one replaces the other.
class CaptionedEffect : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CaptionedEffect)

public:
    explicit CaptionedEffect(PlaySettings settings);

    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;

protected:
    PhotoLayers<CaptionedPhoto>& layers() { return m_layers; }

private:
    PlaySettings m_settings;
    PhotoLayers<CaptionedPhoto> m_layers;
};

} // namespace lumi
