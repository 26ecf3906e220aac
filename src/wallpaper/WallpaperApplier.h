#pragma once

#include "model/Medium.h"
#include "model/WallpaperFit.h"
#include "platform/DisplayInfo.h"
#include "wallpaper/CalendarOverlay.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <exception>
#include <optional>

namespace lumi {

/// One display's part of a change: the photo it gets and the title drawn on it (none: no title).
struct WallpaperPlacement final
{
    Medium photo;
    DisplayInfo display;
    std::optional<QString> title;
};

/// Puts photos on displays, each composed for its display: what the rotation asks of the wallpaper
/// service.
class WallpaperApplier
{
public:
    virtual ~WallpaperApplier() = default;

    /// One change of the desktop: composes each placement's photo for its display (fit or fill,
    /// its title, the calendar when given), then sets the pictures together. useCDN false keeps
    /// away from the CDN host and from synced files; forceDownload fetches the photos again even
    /// when a copy is on disk. One outcome per placement, in their order: none when the display
    /// shows its new picture, else the WallpaperError (or the APIError of a download) that stopped it.
    virtual QCoro::Task<QList<std::exception_ptr>> applyWallpapers(QList<WallpaperPlacement> placements,
                                                                   std::optional<CalendarOverlay> overlay,
                                                                   WallpaperFit fit, bool useCDN,
                                                                   bool forceDownload) = 0;
};

} // namespace lumi
