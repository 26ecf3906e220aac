#pragma once

#include "model/CancelToken.h"
#include "player/PhotoImage.h"
#include "player/PhotoLayers.h"
#include "player/PlayerEffect.h"

#include <QCoroTask>

#include <array>

namespace lumi {

class PlayerModel;

/// Four photos in a two-by-two grid with black 8-pixel gaps, replaced one cell at a time in turn,
/// one per beat of half the pause (at least 2 s). Paces itself: the model runs no clock here.
class FourUpEffect final : public PlayerEffect
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FourUpEffect)

public:
    /// Starts filling the cells from the model; the model outlives the effect.
    explicit FourUpEffect(PlayerModel& model);
    ~FourUpEffect() override;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) override;
    bool isMoving(std::chrono::milliseconds now) const override;

    /// Cells in the order top-left, top-right, bottom-left, bottom-right.
    static QRectF cell(QSizeF area, int index);
    /// How often a cell changes.
    static std::chrono::milliseconds beat(double pauseSeconds);

private:
    QCoro::Task<void> pace(CancelToken cancel);
    void put(int index, const ShownPhoto& photo, std::chrono::milliseconds duration);

    PlayerModel& m_model;
    std::array<PhotoLayers<PhotoImage>, 4> m_cells;
    CancelToken m_cancel;
};

} // namespace lumi
