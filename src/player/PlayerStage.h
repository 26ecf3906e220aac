#pragma once

#include "player/PlayerEffect.h"

#include <QObject>

#include <chrono>
#include <memory>

class QPainter;

namespace lumi {

class PlayerModel;

/// The content of a player window: black, and over it the effect the model's mode picks. A new
/// effect is made on every change of mode, so it starts over from its first state.
class PlayerStage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerStage)

public:
    /// The model outlives the stage.
    explicit PlayerStage(PlayerModel& model, QObject* parent = nullptr);
    ~PlayerStage() override;

    void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now);
    bool isMoving(std::chrono::milliseconds now) const;
    PlayerEffect& effect() const { return *m_effect; }

signals:
    /// The picture changed: repaint, and keep repainting while isMoving().
    void changed();

private:
    void makeEffect();

    PlayerModel& m_model;
    std::unique_ptr<PlayerEffect> m_effect;
};

} // namespace lumi
