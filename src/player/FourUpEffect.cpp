#include "player/FourUpEffect.h"

#include "model/Clock.h"
#include "player/PlayerModel.h"
#include "player/PlayerTask.h"

#include <QPainter>

#include <cmath>

using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr qreal gap = 8;
constexpr auto fillFade = 1200ms;
constexpr auto replaceFade = 1600ms;

} // namespace

FourUpEffect::FourUpEffect(PlayerModel& model) : m_model(model)
{
    PlayerTask::start(pace(m_cancel));
}

FourUpEffect::~FourUpEffect()
{
    m_cancel.cancel();
}

QRectF FourUpEffect::cell(QSizeF area, int index)
{
    const QSizeF size(std::floor((area.width() - 3 * gap) / 2), std::floor((area.height() - 3 * gap) / 2));
    return QRectF(
        QPointF(gap + (index % 2) * (size.width() + gap), gap + (index / 2) * (size.height() + gap)), size);
}

std::chrono::milliseconds FourUpEffect::beat(double pauseSeconds)
{
    return std::max(std::chrono::milliseconds(qint64(pauseSeconds * 500)), std::chrono::milliseconds(2s));
}

QCoro::Task<void> FourUpEffect::pace(CancelToken cancel)
{
    // The effect is gone once the token is cancelled: nothing of it is touched after that.
    PlayerModel& model = m_model;
    Clock& clock = model.clock();
    for (int index = 0; index < int(m_cells.size()); ++index) {
        const std::optional<ShownPhoto> photo = co_await model.next();
        if (cancel.isCancelled())
            co_return;
        if (photo)
            put(index, *photo, fillFade);
    }
    const std::chrono::milliseconds period = beat(model.settings().pauseSeconds);
    int index = 0;
    while (!cancel.isCancelled()) {
        co_await clock.sleep(period, cancel);
        if (cancel.isCancelled() || model.isPaused())
            continue;
        const std::optional<ShownPhoto> photo = co_await model.next();
        if (cancel.isCancelled() || !photo)
            continue;
        put(index, *photo, replaceFade);
        index = (index + 1) % int(m_cells.size());
    }
}

void FourUpEffect::put(int index, const ShownPhoto& photo, std::chrono::milliseconds duration)
{
    m_cells.at(index).change(photo.id, PhotoImage(photo.image),
                             Transition{m_model.clock().monotonic(), duration});
    emit changed();
}

void FourUpEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    for (int index = 0; index < int(m_cells.size()); ++index) {
        PhotoLayers<PhotoImage>& layers = m_cells.at(index);
        layers.prune(now);
        for (auto& layer : layers.layers()) {
            painter.setOpacity(layer.opacity(now));
            layer.look.paint(painter, cell(area, index), true);
        }
    }
    painter.setOpacity(1);
}

bool FourUpEffect::isMoving(std::chrono::milliseconds now) const
{
    return std::any_of(m_cells.begin(), m_cells.end(),
                       [now](const auto& cell) { return cell.isMoving(now); });
}

} // namespace lumi
