#pragma once

#include "platform/WallpaperSetter.h"

namespace lumi {

/// Stands in where no way of setting the wallpaper is known (a Wayland session of a desktop we do
/// not support): every call fails for good with the reason, the desktops that work and where the
/// composed picture is, so the user sees why nothing changes and can set it by hand.
class UnsupportedWallpaperSetter final : public WallpaperSetter
{
public:
    explicit UnsupportedWallpaperSetter(QString reason);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QStringList filesInUse() const override { return {}; }
    QString name() const override;

    /// The reason, the desktops where setting works and the picture the user can set by hand.
    static QString explain(const QString& reason, const QString& file);

private:
    QString m_reason;
};

} // namespace lumi
