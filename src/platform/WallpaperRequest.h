#pragma once

#include "platform/DisplayInfo.h"

#include <QImage>
#include <QString>

namespace lumi {

/// One composed picture for one display.
struct WallpaperRequest final
{
    DisplayInfo display;
    /// Absolute path of the JPEG. Every change uses a new file name: desktops cache by name.
    QString file;
    /// The picture in file, when the caller still holds it: a setter that paints pixels itself
    /// takes it from here, since the file may still be being written. Null: read the file.
    QImage picture = {};
};

} // namespace lumi
