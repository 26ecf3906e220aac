#pragma once

#include <QSize>

namespace lumi::test {

/// Makes the offscreen platform show one screen of the given size (in device pixels) and scale,
/// where it would show its default 800 by 600. Call before the application object is made.
void useOffscreenScreen(QSize pixels, qreal scale = 1);

} // namespace lumi::test
