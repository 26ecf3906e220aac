#pragma once

#include "model/Medium.h"
#include "model/User.h"
#include "model/WallpaperFit.h"

#include <QString>

#include <optional>

namespace lumi {

/// How the user's settings ask for a wallpaper to be composed, read afresh for every display.
struct WallpaperLook final
{
    WallpaperFit fit = WallpaperFit::fill;
    bool showTitles = false;
    bool useCDN = true;

    /// "fit_desktop" exactly "fit" fits, anything else fills; "lumivale_title_size" "small" draws
    /// titles; the flag "no-cdn" keeps away from the CDN. Without a user: fill, no titles, CDN.
    static WallpaperLook of(const std::optional<User>& user);

    /// The photo's own title when titles are drawn.
    std::optional<QString> titleFor(const Medium& photo) const;
    /// "fit" or "fill", followed by "|title" when titles are drawn: what "fit-on-screen" holds.
    QString key() const;
};

} // namespace lumi
