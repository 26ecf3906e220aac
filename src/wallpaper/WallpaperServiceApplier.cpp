#include "wallpaper/WallpaperServiceApplier.h"

#include "wallpaper/WallpaperService.h"

namespace lumi {

WallpaperServiceApplier::WallpaperServiceApplier(std::unique_ptr<WallpaperService> service)
    : m_service(std::move(service))
{
}

WallpaperServiceApplier::~WallpaperServiceApplier() = default;

QCoro::Task<void> WallpaperServiceApplier::applyWallpaper(Medium photo, DisplayInfo display,
                                                          std::optional<CalendarOverlay> overlay,
                                                          WallpaperFit fit, std::optional<QString> title,
                                                          bool useCDN, bool forceDownload)
{
    return m_service->applyWallpaper(std::move(photo), std::move(display), std::move(overlay), fit,
                                     std::move(title), useCDN, forceDownload);
}

} // namespace lumi
