#pragma once

#include "platform/WallpaperSetter.h"

namespace lumi {

/// Stands in where no way of setting the wallpaper is known (a Wayland session of a desktop we do
/// not support): every call fails with the reason, so the user sees why nothing changes.
class UnsupportedWallpaperSetter final : public WallpaperSetter
{
public:
    explicit UnsupportedWallpaperSetter(QString reason);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QStringList filesInUse() const override { return {}; }
    QString name() const override;

private:
    QString m_reason;
};

} // namespace lumi
