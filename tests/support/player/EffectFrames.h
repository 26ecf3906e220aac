#pragma once

#include "player/ShownPhoto.h"

#include <QColor>
#include <QImage>

#include <chrono>

namespace lumi {
class PlayerEffect;
}

namespace lumi::test {

/// The effect's frame at `now` over black, as a window of that size shows it.
QImage frameOf(PlayerEffect& effect, QSize size, std::chrono::milliseconds now);
/// A photo of one colour; with `bottom`, its lowest quarter has that colour.
ShownPhoto colourPhoto(QSize size, const QColor& color, const QString& title = QString(),
                       const QColor& bottom = QColor());
/// Whether the pixel is within `tolerance` of the colour in every channel.
bool looksLike(const QImage& frame, QPoint at, const QColor& color, int tolerance = 6);
/// The pixel as "r,g,b", for messages.
QString describePixel(const QImage& frame, QPoint at);

} // namespace lumi::test
