#include "player/FallerEffect.h"

#include "model/Clock.h"
#include "player/DevicePixels.h"
#include "player/PlayerModel.h"
#include "player/PlayerTask.h"
#include "wallpaper/AlphaShadow.h"

#include <QPainter>
#include <QRandomGenerator>

#include <array>
#include <cmath>

using namespace std::chrono_literals;

namespace lumi {

namespace {

struct FirstPrint
{
    std::chrono::milliseconds duration;
    std::chrono::milliseconds offset;
};

// Already part of the way down when the effect starts, so the screen is never empty for long.
constexpr std::array<FirstPrint, 4> firstPrints = {{{10s, -7s}, {12s, -6s}, {11s, -3300ms}, {9s, 0s}}};
constexpr auto poll = 400ms;
constexpr qreal shadowBlur = 12;
constexpr qreal shadowDrop = 6;
// Room around a card for its shadow.
constexpr int shadowRoom = 24;

qreal uniform(QRandomGenerator& random, qreal from, qreal to)
{
    return from + random.generateDouble() * (to - from);
}

} // namespace

qreal FallerEffect::Print::progress(std::chrono::milliseconds now) const
{
    return std::min<qreal>(qreal((now - start).count()) / qreal(duration.count()), 1);
}

QPointF FallerEffect::Print::centre(QSizeF area, std::chrono::milliseconds now) const
{
    return QPointF(area.width() * x, (1.4 * progress(now) - 0.3) * area.height());
}

qreal FallerEffect::Print::rotation(std::chrono::milliseconds now) const
{
    return rotationFrom + (rotationTo - rotationFrom) * progress(now);
}

FallerEffect::FallerEffect(PlayerModel& model, QRandomGenerator& random) : m_model(model), m_random(random)
{
    PlayerTask::start(pace(m_cancel));
}

FallerEffect::~FallerEffect()
{
    m_cancel.cancel();
}

FallerEffect::Print FallerEffect::makePrint(const ShownPhoto& photo, std::chrono::milliseconds start,
                                            std::chrono::milliseconds duration)
{
    Print print{QUuid::createUuid(), photo, start, duration, 0, 0, 0, 0};
    print.rotationFrom = uniform(m_random, -18, 18);
    print.x = uniform(m_random, 0.15, 0.85);
    print.rotationTo = print.rotationFrom + uniform(m_random, -25, 25);
    print.width = uniform(m_random, 0.22, 0.32);
    return print;
}

QCoro::Task<void> FallerEffect::pace(CancelToken cancel)
{
    // The effect is gone once the token is cancelled: nothing of it is touched after that.
    PlayerModel& model = m_model;
    Clock& clock = model.clock();
    for (const FirstPrint& first : firstPrints) {
        const std::optional<ShownPhoto> photo = co_await model.next();
        if (cancel.isCancelled())
            co_return;
        if (photo) {
            m_prints.push_back(makePrint(*photo, clock.monotonic() + first.offset, first.duration));
            emit changed();
        }
    }
    while (!cancel.isCancelled()) {
        co_await clock.sleep(poll, cancel);
        // A cancelled sleep resumes after the effect was deleted.
        if (cancel.isCancelled())
            co_return;
        const std::chrono::milliseconds now = clock.monotonic();
        const std::vector<Print> seen = m_prints;
        for (size_t i = 0; i < seen.size() && !cancel.isCancelled(); ++i) {
            if (now - seen[i].start < seen[i].duration || model.isPaused())
                continue;
            const std::optional<ShownPhoto> photo = co_await model.next();
            if (cancel.isCancelled() || !photo || i >= m_prints.size())
                continue;
            m_prints[i] = makePrint(*photo, clock.monotonic(), seen[i].duration);
            emit changed();
        }
    }
}

QImage FallerEffect::drawCard(const QImage& photo, qreal width, qreal ratio)
{
    const QSizeF inner = QSizeF(photo.size()).scaled(width - 2 * border, 1e6, Qt::KeepAspectRatio);
    const QRectF card(shadowRoom, shadowRoom, width, inner.height() + 2 * border);
    QImage image =
        transparentImage(QSizeF((card.size() + QSizeF(2 * shadowRoom, 2 * shadowRoom)).toSize()), ratio);
    QPainter canvas(&image);
    AlphaShadow::paint(canvas, QRectF(QPointF(), image.deviceIndependentSize()), shadowBlur,
                       QColor::fromRgbF(0, 0, 0, 0.5),
                       [&](QPainter& mask) { mask.fillRect(card.translated(0, shadowDrop), Qt::black); });
    canvas.fillRect(card, Qt::white);
    canvas.setRenderHint(QPainter::SmoothPixmapTransform);
    canvas.drawImage(QRectF(card.topLeft() + QPointF(border, border), inner),
                     photo.scaled((inner * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return image;
}

void FallerEffect::paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now)
{
    m_cards.resize(m_prints.size());
    const qreal ratio = devicePixelRatio(painter);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (size_t i = 0; i < m_prints.size(); ++i) {
        const Print& print = m_prints[i];
        Card& card = m_cards[i];
        const qreal width = std::round(area.width() * print.width);
        if (card.id != print.id || card.width != width || card.ratio != ratio)
            card = Card{print.id, width, ratio, drawCard(print.photo.image, width, ratio)};
        painter.save();
        painter.translate(print.centre(area, now));
        painter.rotate(print.rotation(now));
        const QSizeF size = card.image.deviceIndependentSize();
        painter.drawImage(QPointF(-size.width() / 2, -size.height() / 2), card.image);
        painter.restore();
    }
    painter.restore();
}

bool FallerEffect::isMoving(std::chrono::milliseconds now) const
{
    return std::any_of(m_prints.begin(), m_prints.end(),
                       [now](const Print& print) { return print.progress(now) < 1; });
}

} // namespace lumi
