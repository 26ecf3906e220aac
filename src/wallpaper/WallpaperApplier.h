#pragma once

#include "model/Medium.h"
#include "model/WallpaperFit.h"
#include "platform/DisplayInfo.h"
#include "wallpaper/CalendarOverlay.h"

#include <QCoroTask>
#include <QString>

#include <optional>

namespace lumi {

/// Puts one photo on one display, composed for it: what the rotation asks of the wallpaper service.
class WallpaperApplier
{
public:
    virtual ~WallpaperApplier() = default;

    /// Composes the photo for the display (fit or fill, the title when given, the calendar when
    /// given) and sets it as the display's wallpaper. useCDN false keeps away from the CDN host and
    /// from synced files; forceDownload fetches the photo again even when a copy is on disk.
    /// Throws WallpaperError, or the APIError of a download.
    virtual QCoro::Task<void> applyWallpaper(Medium photo, DisplayInfo display,
                                             std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                             std::optional<QString> title, bool useCDN,
                                             bool forceDownload) = 0;
};

} // namespace lumi
