#include "platform/linux/UnsupportedWallpaperSetter.h"

using namespace Qt::StringLiterals;

namespace lumi {

UnsupportedWallpaperSetter::UnsupportedWallpaperSetter(QString reason) : m_reason(std::move(reason)) {}

QString UnsupportedWallpaperSetter::name() const
{
    return u"none"_s;
}

QCoro::Task<WallpaperSetResult> UnsupportedWallpaperSetter::setWallpaper(WallpaperRequest)
{
    co_return WallpaperSetResult::failure(m_reason);
}

} // namespace lumi
