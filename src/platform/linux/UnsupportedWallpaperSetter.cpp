#include "platform/linux/UnsupportedWallpaperSetter.h"

using namespace Qt::StringLiterals;

namespace lumi {

UnsupportedWallpaperSetter::UnsupportedWallpaperSetter(QString reason) : m_reason(std::move(reason)) {}

QString UnsupportedWallpaperSetter::name() const
{
    return u"none"_s;
}

QString UnsupportedWallpaperSetter::explain(const QString& reason, const QString& file)
{
    return reason + u" Wallpapers can be set on GNOME, KDE Plasma, Xfce and X11 sessions of other desktops. "
                    u"The picture is at %1."_s.arg(file);
}

QCoro::Task<WallpaperSetResult> UnsupportedWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    co_return WallpaperSetResult::unsupported(explain(m_reason, request.file));
}

} // namespace lumi
