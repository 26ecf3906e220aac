#include "support/player/EffectFrames.h"

#include "player/PlayerEffect.h"

#include <QPainter>

namespace lumi::test {

QImage frameOf(PlayerEffect& effect, QSize size, std::chrono::milliseconds now)
{
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(Qt::black);
    QPainter painter(&frame);
    effect.paint(painter, QSizeF(size), now);
    return frame;
}

ShownPhoto colourPhoto(QSize size, const QColor& color, const QString& title, const QColor& bottom)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    if (bottom.isValid()) {
        QPainter painter(&image);
        painter.fillRect(QRect(0, size.height() * 3 / 4, size.width(), size.height() - size.height() * 3 / 4),
                         bottom);
    }
    Medium medium{.uuid = color.name()};
    if (!title.isEmpty())
        medium.title = title;
    return ShownPhoto{QUuid::createUuid(), medium, image};
}

bool looksLike(const QImage& frame, QPoint at, const QColor& color, int tolerance)
{
    const QColor pixel = frame.pixelColor(at);
    return std::abs(pixel.red() - color.red()) <= tolerance &&
           std::abs(pixel.green() - color.green()) <= tolerance &&
           std::abs(pixel.blue() - color.blue()) <= tolerance;
}

QString describePixel(const QImage& frame, QPoint at)
{
    const QColor pixel = frame.pixelColor(at);
    return QStringLiteral("%1,%2,%3 at %4,%5")
        .arg(pixel.red())
        .arg(pixel.green())
        .arg(pixel.blue())
        .arg(at.x())
        .arg(at.y());
}

} // namespace lumi::test
