#include "wallpaper/WallpaperError.h"

namespace lumi {

WallpaperError::WallpaperError(Kind kind, int status, QString text)
    : m_kind(kind), m_status(status), m_text(std::move(text))
{
    m_what = message().toUtf8();
}

WallpaperError WallpaperError::download(int status)
{
    return WallpaperError(Kind::download, status, {});
}

WallpaperError WallpaperError::noImage()
{
    return WallpaperError(Kind::noImage, 0, {});
}

WallpaperError WallpaperError::tooSmall()
{
    return WallpaperError(Kind::tooSmall, 0, {});
}

WallpaperError WallpaperError::emptyPool()
{
    return WallpaperError(Kind::emptyPool, 0, {});
}

WallpaperError WallpaperError::unreadable()
{
    return WallpaperError(Kind::unreadable, 0, {});
}

WallpaperError WallpaperError::system(QString text)
{
    return WallpaperError(Kind::system, 0, std::move(text));
}

QString WallpaperError::message() const
{
    switch (m_kind) {
    case Kind::download:
        return tr("The photo could not be downloaded (%1).").arg(m_status);
    case Kind::noImage:
        return tr("This photo has no wallpaper image.");
    case Kind::tooSmall:
        return tr("The downloaded photo was incomplete.");
    case Kind::emptyPool:
        return tr("There are no photos to show. Add photos to a playlist and use it for your wallpaper.");
    case Kind::unreadable:
        return tr("The photo could not be prepared for the desktop.");
    case Kind::system:
        return m_text;
    }
    return m_text;
}

} // namespace lumi
