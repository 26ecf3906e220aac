#pragma once

#include "platform/DisplayInfo.h"

#include <QString>

namespace lumi {

/// One composed picture for one display.
struct WallpaperRequest final
{
    DisplayInfo display;
    /// Absolute path of the JPEG. Every change uses a new file name: desktops cache by name.
    QString file;
};

} // namespace lumi
