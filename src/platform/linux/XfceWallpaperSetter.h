#pragma once

#include "platform/WallpaperSetter.h"

#include <QDBusConnection>
#include <QHash>

namespace lumi {

/// XFCE: writes the picture into xfdesktop's settings through the xfconf service
/// (channel xfce4-desktop, /backdrop/screen0/monitor<NAME>/workspace<N>/last-image), for every
/// workspace the monitor has settings for, zoomed to fill.
class XfceWallpaperSetter final : public WallpaperSetter
{
public:
    explicit XfceWallpaperSetter(QDBusConnection bus);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QStringList filesInUse() const override { return m_pictures.values(); }
    QString name() const override;

private:
    QDBusConnection m_bus;
    QHash<QString, QString> m_pictures;
};

} // namespace lumi
