#pragma once

#include "player/CaptionedEffect.h"

namespace lumi {

/// The slide: the new photo comes in from the right edge while the old one leaves to the left.
class SliderEffect final : public CaptionedEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SliderEffect)

public:
    using CaptionedEffect::CaptionedEffect;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
};

} // namespace lumi
