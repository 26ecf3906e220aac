#pragma once

#include "platform/WallpaperSetter.h"

#include <QDBusConnection>
#include <QHash>

namespace lumi {

/// KDE Plasma: runs a desktop script through org.kde.PlasmaShell.evaluateScript that gives the
/// desktop of the display's screen (in every activity) the picture, scaled and cropped.
class KdeWallpaperSetter final : public WallpaperSetter
{
public:
    explicit KdeWallpaperSetter(QDBusConnection bus);

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    QStringList filesInUse() const override { return m_pictures.values(); }
    QString name() const override;

    /// The Plasma script for a request; it prints how many desktops it changed and fails when none
    /// shows the display.
    static QString script(const WallpaperRequest& request);

private:
    QDBusConnection m_bus;
    QHash<QString, QString> m_pictures;
};

} // namespace lumi
