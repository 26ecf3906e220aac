#pragma once

#include "platform/DisplayInfo.h"

#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

namespace lumi {

/// One picture across all displays, for desktops that stretch a single image over every monitor
/// ("spanned"). The picture is the bounding box of the displays' geometries at the largest pixel
/// ratio among them, so it maps onto the monitors without distortion.
class SpannedWallpaper final
{
public:
    SpannedWallpaper() = delete;

    /// Where display lies in the spanned picture of displays (the picture's own rect when display is
    /// the union itself).
    static QRect area(const QList<DisplayInfo>& displays, const DisplayInfo& display);
    /// The spanned picture's pixel size.
    static QSize size(const QList<DisplayInfo>& displays);

    /// Writes the spanned JPEG to destination: each display's picture (by display name) covers its
    /// area, displays without one stay black. Blocking: run it off the main thread. Returns an empty
    /// string on success, else the reason; no file is left behind on failure.
    static QString write(const QList<DisplayInfo>& displays, const QHash<QString, QString>& pictures,
                         const QString& destination);
};

} // namespace lumi
