#pragma once

#include "player/CaptionedEffect.h"

namespace lumi {

/// The cross-fade: the new photo fades in over the old one as it fades out. Also the gallery's
/// slideshow.
class FaderEffect final : public CaptionedEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FaderEffect)

public:
    using CaptionedEffect::CaptionedEffect;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
};

} // namespace lumi
