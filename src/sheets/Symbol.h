#pragma once

#include <QColor>
#include <QPixmap>

namespace lumi {

/// The small line symbols of the places and the story, drawn in code at any size and colour (the
/// desktop's icon themes have no equivalents that look alike everywhere).
class Symbol final
{
public:
    enum class Kind { chevronRight, star, map, wifiExclamation };

    Symbol() = delete;

    /// Square, side logical pixels, sharp at the device pixel ratio.
    static QPixmap pixmap(Kind kind, int side, const QColor& color, qreal devicePixelRatio);
};

} // namespace lumi
