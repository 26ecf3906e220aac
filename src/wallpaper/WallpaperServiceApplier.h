#pragma once

#include "wallpaper/WallpaperApplier.h"

#include <memory>

namespace lumi {

class WallpaperService;

/// The wallpaper service as the rotation uses it; owns the service.
class WallpaperServiceApplier final : public WallpaperApplier
{
public:
    explicit WallpaperServiceApplier(std::unique_ptr<WallpaperService> service);
    ~WallpaperServiceApplier() override;
    Q_DISABLE_COPY_MOVE(WallpaperServiceApplier)

    /// For the cache clearing of the settings and its redraw request.
    WallpaperService& service() { return *m_service; }

    QCoro::Task<void> applyWallpaper(Medium photo, DisplayInfo display,
                                     std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                     std::optional<QString> title, bool useCDN, bool forceDownload) override;

private:
    std::unique_ptr<WallpaperService> m_service;
};

} // namespace lumi
