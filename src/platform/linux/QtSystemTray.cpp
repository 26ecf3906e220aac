#include "platform/linux/QtSystemTray.h"

#include <QSystemTrayIcon>

namespace lumi {

bool QtSystemTray::isAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace lumi
