#include "app/startup/StartupServices.h"

#include "app/standby/StandbyCrashCapture.h"
#include "app/standby/StandbyOlderAppMigration.h"
#include "app/standby/StandbySoftwareUpdates.h"
#include "platform/linux/LinuxPlatform.h"

namespace lumi {

StartupServices StartupServices::standard()
{
    return StartupServices{
        .singleInstance = LinuxPlatform::singleInstance(),
        .systemTray = LinuxPlatform::systemTray(),
        .crashCapture = std::make_unique<StandbyCrashCapture>(),
        .olderApp = std::make_unique<StandbyOlderAppMigration>(),
        .updates = std::make_unique<StandbySoftwareUpdates>(),
    };
}

} // namespace lumi
