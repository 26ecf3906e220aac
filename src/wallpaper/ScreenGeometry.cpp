#include "wallpaper/ScreenGeometry.h"

#include "platform/DisplayInfo.h"

#include <algorithm>
#include <cmath>

namespace lumi {

ScreenGeometry ScreenGeometry::of(const DisplayInfo& display)
{
    const QRect frame = display.geometry;
    // A display that reports no usable area has no panels as far as we know.
    const QRect visible = display.availableGeometry.isValid() ? display.availableGeometry : frame;
    ScreenGeometry geometry;
    geometry.width = frame.width();
    geometry.height = frame.height();
    geometry.top = std::max(0, visible.top() - frame.top());
    geometry.left = std::max(0, visible.left() - frame.left());
    geometry.bottom = std::max(0, (frame.y() + frame.height()) - (visible.y() + visible.height()));
    geometry.right = std::max(0, (frame.x() + frame.width()) - (visible.x() + visible.width()));
    geometry.scale = display.devicePixelRatio;
    return geometry;
}

bool ScreenGeometry::isUsable() const
{
    for (double value : {width, height, top, left, bottom, right, scale}) {
        if (!std::isfinite(value))
            return false;
    }
    return width > 0 && height > 0 && scale > 0 && top >= 0 && left >= 0 && bottom >= 0 && right >= 0;
}

} // namespace lumi
