#include "wallpaper/DisplayChoice.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace lumi {

bool DisplayChoice::showDialog(const Defaults& defaults)
{
    return defaults.get(keys::showDisplaysDialog);
}

QString DisplayChoice::displayID(const DisplayInfo& display)
{
    return display.displayId.isEmpty() ? display.key() : display.displayId;
}

QList<DisplayInfo> DisplayChoice::enabledDisplays(const Defaults& defaults,
                                                  const QList<DisplayInfo>& displays)
{
    const QStringList stored = defaults.get(keys::wallpaperDisplaysOff);
    const QSet<QString> off(stored.cbegin(), stored.cend());
    QList<DisplayInfo> enabled;
    for (const DisplayInfo& display : displays) {
        if (!off.contains(displayID(display)))
            enabled.append(display);
    }
    return enabled.isEmpty() ? displays : enabled;
}

QString DisplayChoice::displayName(const DisplayInfo& display)
{
    return u"%1 (%2 × %3)"_s.arg(display.name).arg(display.pixelSize.width()).arg(display.pixelSize.height());
}

} // namespace lumi
