#pragma once

#include "platform/WallpaperSetter.h"

#include <QByteArray>
#include <QThreadPool>

namespace lumi {

/// Plain X11 desktops: paints each display's picture into the root window's background pixmap.
/// The painting runs on a worker thread with its own X connection.
class X11RootWallpaperSetter final : public WallpaperSetter
{
public:
    /// display: the X display to paint on; empty means $DISPLAY.
    explicit X11RootWallpaperSetter(QByteArray display = {});

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override;
    /// None: the pixels live in the X server once painted.
    QStringList filesInUse() const override { return {}; }
    bool paintsPicture() const override { return true; }
    QString name() const override;

private:
    QByteArray m_display;
    // Off Qt's global pool: Qt spreads scaling a picture over that pool only from outside it.
    QThreadPool m_painting;
};

} // namespace lumi
