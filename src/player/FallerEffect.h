#pragma once

#include "model/CancelToken.h"
#include "player/PlayerEffect.h"

#include <QCoroTask>
#include <QImage>

#include <vector>

class QRandomGenerator;

namespace lumi {

class PlayerModel;

/// Photos mounted like paper prints fall slowly from above the screen to below it, turning a
/// little; four at once at different heights. A finished print is replaced by a new one from the
/// top. Paces itself: the model runs no clock here.
class FallerEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FallerEffect)

public:
    struct Print
    {
        QUuid id;
        ShownPhoto photo;
        std::chrono::milliseconds start;
        std::chrono::milliseconds duration;
        /// Horizontal centre and width as shares of the screen's width.
        qreal x;
        qreal width;
        qreal rotationFrom;
        qreal rotationTo;

        /// Progress of the fall, at most 1 (negative before its start).
        qreal progress(std::chrono::milliseconds now) const;
        /// Centre and rotation in an area at `now`.
        QPointF centre(QSizeF area, std::chrono::milliseconds now) const;
        qreal rotation(std::chrono::milliseconds now) const;
    };

    /// Starts making prints from the model; the model and the generator outlive the effect.
    FallerEffect(PlayerModel& model, QRandomGenerator& random);
    ~FallerEffect() override;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    bool isMoving(std::chrono::milliseconds now) const override;

    const std::vector<Print>& prints() const { return m_prints; }
    /// The white border around the photo of a print.
    static constexpr qreal border = 10;

private:
    /// A print's card (shadow, white border, photo) drawn once for its width.
    struct Card
    {
        QUuid id;
        qreal width = -1;
        qreal ratio = 0;
        QImage image;
    };

    QCoro::Task<void> pace(CancelToken cancel);
    Print makePrint(const ShownPhoto& photo, std::chrono::milliseconds start,
                    std::chrono::milliseconds duration);
    static QImage drawCard(const QImage& photo, qreal width, qreal ratio);

    PlayerModel& m_model;
    QRandomGenerator& m_random;
    std::vector<Print> m_prints;
    std::vector<Card> m_cards;
    CancelToken m_cancel;
};

} // namespace lumi
