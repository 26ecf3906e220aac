#include "app/startup/StartupServices.h"

#include "model/Clock.h"
#include "model/Defaults.h"
#include "platform/FileRevealer.h"
#include "platform/OlderAppProcesses.h"
#include "platform/Trash.h"
#include "platform/linux/LinuxPlatform.h"
#include "services/ElectronMigration.h"

#include <QCoreApplication>
#include <QLocale>

namespace lumi {

StartupServices StartupServices::standard()
{
    return StartupServices{
        .singleInstance = LinuxPlatform::singleInstance(),
        .systemTray = LinuxPlatform::systemTray(),
        .crashHandlers = LinuxPlatform::crashHandlers(),
        .olderApp = std::make_unique<ElectronMigration>(ElectronMigration::Services{
            .defaults = Defaults::shared(),
            .clock = LinuxPlatform::clock(),
            .processes = LinuxPlatform::olderAppProcesses(),
            .trash = LinuxPlatform::trash(),
            .revealer = LinuxPlatform::fileRevealer(),
            // An AppImage runs from a mount that moves each time; the file the user has is what counts.
            .executable = qEnvironmentVariableIsEmpty("APPIMAGE") ? QCoreApplication::applicationFilePath()
                                                                  : qEnvironmentVariable("APPIMAGE"),
            .preferredLanguages = QLocale::system().uiLanguages(),
        }),
        .updates = nullptr,
        .clock = LinuxPlatform::clock(),
    };
}

} // namespace lumi
