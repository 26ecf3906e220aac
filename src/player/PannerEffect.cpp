#include "player/PannerEffect.h"

#include "player/DevicePixels.h"

#include <QPainter>
#include <QRandomGenerator>

#include <array>

namespace lumi {

namespace {

constexpr std::array<qreal, 5> drifts = {-0.1, -0.05, 0, 0.05, 0.1};
// A wider drift zooms further, so the photo's edge never comes into view.
constexpr qreal zoomInPlace = 0.1;
constexpr qreal zoomWithDrift = 0.2;

} // namespace

qreal PannerEffect::randomDrift()
{
    return drifts.at(QRandomGenerator::global()->bounded(int(drifts.size())));
}

PannerEffect::PannerEffect(PlaySettings settings, DriftPicker pickDrift)
    : m_settings(settings), m_pickDrift(std::move(pickDrift))
{
}

void PannerEffect::photoChanged(const std::optional<ShownPhoto>& photo, Transition transition)
{
    std::optional<Panned> panned;
    if (photo) {
        const std::chrono::milliseconds driftTime(qint64((m_settings.pauseSeconds + 2) * 1000));
        panned = Panned{PhotoImage(photo->image), std::nullopt, m_pickDrift(),
                        Transition{transition.start, driftTime}};
        if (m_settings.showTitles)
            panned->title.emplace(photo->medium.displayTitle());
    }
    m_layers.change(photo ? photo->id : QUuid(), std::move(panned), transition);
}

void PannerEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_layers.prune(now);
    const QRectF bounds(QPointF(), area);
    const qreal ratio = devicePixelRatio(painter);
    painter.save();
    painter.setClipRect(bounds, Qt::IntersectClip);
    // The photo underneath is written, not blended, and sets every pixel.
    auto backdrop = SwingRenderer::Backdrop::black;
    for (auto& layer : m_layers.layers()) {
        Panned& panned = layer.look;
        const qreal moved = panned.motion.linearProgress(now);
        const qreal zoom = panned.drift == 0 ? zoomInPlace : zoomWithDrift;
        const qreal scale = 1 + moved * zoom;
        const QRectF cover = panned.image.placed(bounds, true);
        QRectF target(QPointF(), cover.size() * scale);
        target.moveCenter(cover.center() + QPointF(area.width() * panned.drift * moved, 0));
        // Scaled once to its final zoom; each frame only shrinks that copy a little.
        const QImage& scaled = panned.image.scaledTo((cover.size() * (1 + zoom) * ratio).toSize(), ratio);
        const QSizeF units = QSizeF(scaled.size()) / ratio;
        painter.setOpacity(layer.opacity(now));
        m_renderer.draw(painter, scaled,
                        QTransform(target.width() / units.width(), 0, 0, target.height() / units.height(),
                                   target.left(), target.top()),
                        area, backdrop);
        backdrop = SwingRenderer::Backdrop::anything;
        if (panned.title)
            panned.title->paint(painter, bounds);
    }
    painter.restore();
}

bool PannerEffect::isMoving(std::chrono::milliseconds now) const
{
    return std::any_of(m_layers.layers().begin(), m_layers.layers().end(),
                       [now](const auto& layer) { return now < layer.look.motion.end(); }) ||
           m_layers.isMoving(now);
}

// The photo drawn first sets every pixel.
bool PannerEffect::coversArea(QSizeF, std::chrono::milliseconds now) const
{
    return m_layers.isShowing(now);
}

} // namespace lumi
