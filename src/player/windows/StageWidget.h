#pragma once

#include <QTimer>
#include <QWidget>

namespace lumi {

class Clock;
class PlayerStage;

/// Shows a player stage in a window: paints it at the monotonic clock's time and repaints about
/// every 16 ms, only while something on the stage moves.
class StageWidget final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StageWidget)

public:
    /// The stage and the clock outlive the widget.
    StageWidget(PlayerStage& stage, Clock& clock, QWidget* parent = nullptr);

    /// Whether frames are being drawn one after the other.
    bool isAnimating() const { return m_frames.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void stageChanged();
    void nextFrame();

    PlayerStage& m_stage;
    Clock& m_clock;
    QTimer m_frames;
};

} // namespace lumi
