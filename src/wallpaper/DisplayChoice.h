#pragma once

#include "platform/DisplayInfo.h"

#include <QList>
#include <QString>

namespace lumi {

class Defaults;

/// Which displays a photo the user picks goes to: whether to ask at all, a stable identifier per
/// display, the displays not switched off, and the name a display is listed under. The rotation
/// itself always covers every display.
class DisplayChoice final
{
public:
    DisplayChoice() = delete;

    /// Ask which displays get the photo: "show-displays-dialog", true unless stored as false.
    static bool showDialog(const Defaults& defaults);
    /// Names the same monitor across reconnection and reordering: its EDID identity when known,
    /// else its output name.
    static QString displayID(const DisplayInfo& display);
    /// The displays in the system's order without those in "wallpaper-displays-off"; all of them
    /// when that would leave none.
    static QList<DisplayInfo> enabledDisplays(const Defaults& defaults, const QList<DisplayInfo>& displays);
    /// "<name> (<pixel width> × <pixel height>)".
    static QString displayName(const DisplayInfo& display);
};

} // namespace lumi
