#pragma once

#include "wallpaper/CalendarRequest.h"

#include <QSizeF>
#include <QString>

namespace lumi {

/// A calendar ready to be composed onto a wallpaper: what to draw, how large and where.
struct CalendarOverlay final
{
    CalendarRequest request;
    /// The image size at zoom 1, in points.
    QSizeF baseSize;
    double zoom = 1.0;
    /// 0.5 to 1.0.
    double alpha = 1.0;
    bool isRight = false;
    bool isBottom = false;
    /// Tells the rotation whether the calendar on screen is still the wanted one; holds the date.
    QString key;

    bool operator==(const CalendarOverlay&) const = default;
};

} // namespace lumi
