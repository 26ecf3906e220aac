#include "wallpaper/WallpaperLook.h"

using namespace Qt::StringLiterals;

namespace lumi {

WallpaperLook WallpaperLook::of(const std::optional<User>& user)
{
    WallpaperLook look;
    if (!user)
        return look;
    look.fit = WallpaperFit::fromSetting(user->fitDesktop);
    look.showTitles = user->lumivaleTitleSize == u"small"_s;
    look.useCDN = !user->flagList().contains(u"no-cdn"_s);
    return look;
}

std::optional<QString> WallpaperLook::titleFor(const Medium& photo) const
{
    return showTitles ? photo.title : std::nullopt;
}

QString WallpaperLook::key() const
{
    return fit.value() + (showTitles ? u"|title"_s : QString());
}

} // namespace lumi
