#pragma once

#include "player/PhotoImage.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"

namespace lumi {

/// The gallery's stories: the photo fitted on the left and, on the right, a panel with its title
/// and description; photos cross-fade. Titles show whatever the settings say.
class InfoShowEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(InfoShowEffect)

public:
    InfoShowEffect() = default;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition) override;
    bool isMoving(std::chrono::milliseconds now) const override;

    /// Where the photo is fitted and where the text panel starts, for an area.
    static QRectF photoArea(QSizeF area);
    static QRectF panelArea(QSizeF area);

private:
    struct Story
    {
        PhotoImage image;
        QString title;
        QString description;
        QImage panel;
        qreal panelHeight = -1;
    };

    static void composePanel(Story& story, QSizeF area, qreal ratio);

    PhotoLayers<Story> m_layers;
};

} // namespace lumi
