#pragma once

#include "model/PlaySettings.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"
#include "player/SwingRenderer.h"

#include <QTransform>

namespace lumi {

/// The photo, fitted and centred, stands on a fading mirror image of itself with its title below;
/// photos change by swinging about the vertical axis, the old one on to +45° as the new one comes
/// in from -45°.
class ReflectionsEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReflectionsEffect)

public:
    explicit ReflectionsEffect(PlaySettings settings);

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;
    bool coversArea(QSizeF area, std::chrono::milliseconds now) const override;

    /// A turn by `degrees` about the vertical line through the centre of `area`, seen in
    /// perspective from 2·max(W, H) in front of it.
    static QTransform swing(QSizeF area, qreal degrees);

private:
    /// The photo, its reflection and title, drawn into one picture once per area size.
    struct Reflected
    {
        ShownPhoto photo;
        QSizeF area;
        QImage composed;
        QPointF origin;
    };

    void compose(Reflected& reflected, QSizeF area, qreal ratio) const;

    PlaySettings m_settings;
    PhotoLayers<Reflected> m_layers;
    SwingRenderer m_swing;
};

} // namespace lumi
