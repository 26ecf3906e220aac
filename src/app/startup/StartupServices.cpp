#include "app/startup/StartupServices.h"

#include "model/Clock.h"
#include "model/Defaults.h"
#include "platform/linux/LinuxPlatform.h"
#include "services/Updater.h"
#include "services/standby/StandbyOlderAppMigration.h"

namespace lumi {

StartupServices StartupServices::standard()
{
    return StartupServices{
        .singleInstance = LinuxPlatform::singleInstance(),
        .systemTray = LinuxPlatform::systemTray(),
        .crashHandlers = LinuxPlatform::crashHandlers(),
        .olderApp = std::make_unique<StandbyOlderAppMigration>(),
        .updates = std::make_unique<Updater>(LinuxPlatform::clock(), Defaults::shared()),
    };
}

} // namespace lumi
