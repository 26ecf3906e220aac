#include "player/windows/StageWidget.h"

#include "model/Clock.h"
#include "player/PlayerStage.h"

#include <QPainter>

using namespace std::chrono_literals;

namespace lumi {

StageWidget::StageWidget(PlayerStage& stage, Clock& clock, QWidget* parent)
    : QWidget(parent), m_stage(stage), m_clock(clock)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_frames.setInterval(16ms);
    m_frames.setTimerType(Qt::PreciseTimer);
    connect(&m_frames, &QTimer::timeout, this, &StageWidget::nextFrame);
    connect(&stage, &PlayerStage::changed, this, &StageWidget::stageChanged);
    stageChanged();
}

void StageWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_stage.paint(painter, QSizeF(size()), m_clock.monotonic());
}

void StageWidget::stageChanged()
{
    update();
    if (m_stage.isMoving(m_clock.monotonic()))
        m_frames.start();
}

void StageWidget::nextFrame()
{
    update();
    // The frame just asked for is the last one of the movement.
    if (!m_stage.isMoving(m_clock.monotonic()))
        m_frames.stop();
}

} // namespace lumi
