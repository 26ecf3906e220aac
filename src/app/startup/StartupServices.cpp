#include "app/startup/StartupServices.h"

#include "platform/linux/LinuxPlatform.h"
#include "services/standby/StandbyOlderAppMigration.h"
#include "services/standby/StandbySoftwareUpdates.h"

namespace lumi {

StartupServices StartupServices::standard()
{
    return StartupServices{
        .singleInstance = LinuxPlatform::singleInstance(),
        .systemTray = LinuxPlatform::systemTray(),
        .crashHandlers = LinuxPlatform::crashHandlers(),
        .olderApp = std::make_unique<StandbyOlderAppMigration>(),
        .updates = std::make_unique<StandbySoftwareUpdates>(),
    };
}

} // namespace lumi
