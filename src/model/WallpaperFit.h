#pragma once

#include "model/SettingChoice.h"

namespace lumi {

struct WallpaperFitCases
{
    enum Case { fill, fit };
};

// How the wallpaper composition places a photo: the "fit_desktop" setting. Anything but exactly
// "fit", absent included, counts as fill.
class WallpaperFit final : public SettingChoice<WallpaperFit, WallpaperFitCases, WallpaperFitCases::fill>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;
};

} // namespace lumi
