#include "player/PlayerStage.h"

#include "model/Clock.h"
#include "player/FaderEffect.h"
#include "player/FallerEffect.h"
#include "player/FourUpEffect.h"
#include "player/InfoShowEffect.h"
#include "player/PannerEffect.h"
#include "player/PlayerModel.h"
#include "player/ReflectionsEffect.h"
#include "player/SliderEffect.h"

#include <QPainter>
#include <QRandomGenerator>

using namespace std::chrono_literals;

namespace lumi {

PlayerStage::PlayerStage(PlayerModel& model, QObject* parent) : QObject(parent), m_model(model)
{
    makeEffect();
    connect(&model, &PlayerModel::modeChanged, this, [this] {
        makeEffect();
        emit changed();
    });
    connect(&model, &PlayerModel::currentChanged, this, [this](Transition transition) {
        m_effect->photoChanged(m_model.current(), transition);
        emit changed();
    });
}

PlayerStage::~PlayerStage() = default;

void PlayerStage::makeEffect()
{
    const PlaySettings& settings = m_model.settings();
    const PlayMode mode = m_model.mode();
    switch (mode.kind()) {
    case PlayMode::Kind::slideshow:
        m_effect = std::make_unique<FaderEffect>(settings);
        break;
    case PlayMode::Kind::infoshow:
        m_effect = std::make_unique<InfoShowEffect>();
        break;
    case PlayMode::Kind::saver:
        switch (*mode.effect()) {
        case SaverEffect::fader:
            m_effect = std::make_unique<FaderEffect>(settings);
            break;
        case SaverEffect::faller:
            m_effect = std::make_unique<FallerEffect>(m_model, *QRandomGenerator::global());
            break;
        case SaverEffect::fourup:
            m_effect = std::make_unique<FourUpEffect>(m_model);
            break;
        case SaverEffect::kber:
            m_effect = std::make_unique<PannerEffect>(settings);
            break;
        case SaverEffect::slider:
            m_effect = std::make_unique<SliderEffect>(settings);
            break;
        case SaverEffect::reflections:
            m_effect = std::make_unique<ReflectionsEffect>(settings);
            break;
        }
        break;
    }
    connect(m_effect.get(), &PlayerEffect::changed, this, &PlayerStage::changed);
    // The photo on screen stays as it is when the effect changes around it.
    if (m_model.current())
        m_effect->photoChanged(m_model.current(), Transition{m_model.clock().monotonic(), 0ms});
}

void PlayerStage::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    // A full-screen clear costs as much as drawing a photo.
    if (!m_effect->coversArea(area, now))
        painter.fillRect(QRectF(QPointF(), area), Qt::black);
    m_effect->paint(painter, area, now);
}

bool PlayerStage::isMoving(std::chrono::milliseconds now) const
{
    return m_effect->isMoving(now);
}

} // namespace lumi
