#pragma once

#include "model/PlaySettings.h"
#include "player/PhotoImage.h"
#include "player/PhotoLayers.h"
#include "player/PhotoTitle.h"
#include "player/PlayerEffect.h"
#include "player/SwingRenderer.h"

#include <functional>

namespace lumi {

/// Each photo fills the screen and, while shown, zooms in slowly and drifts sideways at constant
/// speed for the pause plus 2 s, so it still moves as the next one cross-fades in.
class PannerEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PannerEffect)

public:
    /// The sideways drift of a photo as a share of the width: one of -0.1, -0.05, 0, 0.05, 0.1.
    using DriftPicker = std::function<qreal()>;
    /// Each of the five drifts equally likely.
    static qreal randomDrift();

    explicit PannerEffect(PlaySettings settings, DriftPicker pickDrift = &PannerEffect::randomDrift);

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;
    bool coversArea(QSizeF area, std::chrono::milliseconds now) const override;

private:
    struct Panned
    {
        PhotoImage image;
        std::optional<PhotoTitle> title;
        qreal drift;
        Transition motion;
    };

    PlaySettings m_settings;
    DriftPicker m_pickDrift;
    PhotoLayers<Panned> m_layers;
    SwingRenderer m_renderer;
};

} // namespace lumi
