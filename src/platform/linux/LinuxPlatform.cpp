#include "platform/linux/LinuxPlatform.h"

#include "platform/Paths.h"
#include "platform/linux/DeferredWallpaperSetter.h"
#include "platform/linux/DesktopLinkOpener.h"
#include "platform/linux/FileDialogPickers.h"
#include "platform/linux/FileManagerRevealer.h"
#include "platform/linux/FreedesktopNotifier.h"
#include "platform/linux/LocalSocketSingleInstance.h"
#include "platform/linux/LogindWakeWatcher.h"
#include "platform/linux/PosixCrashHandlers.h"
#include "platform/linux/ProcOlderAppProcesses.h"
#include "platform/linux/QtProcessControl.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/QtSystemTray.h"
#include "platform/linux/SystemClock.h"
#include "platform/linux/UnixTerminationSignals.h"
#include "platform/linux/WallpaperSetterFactory.h"
#include "platform/linux/X11Hotkeys.h"
#include "platform/linux/X11IdleSource.h"
#include "platform/linux/XInputActivity.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/linux/XdgTrash.h"

#include <QCoreApplication>
#include <QDBusConnection>

namespace lumi {

std::unique_ptr<SingleInstance> LinuxPlatform::singleInstance()
{
    return std::make_unique<LocalSocketSingleInstance>(Paths::runtimeDir());
}

std::unique_ptr<SystemTray> LinuxPlatform::systemTray()
{
    return std::make_unique<QtSystemTray>();
}

std::unique_ptr<Notifier> LinuxPlatform::notifier()
{
    return std::make_unique<FreedesktopNotifier>(QDBusConnection::sessionBus());
}

std::unique_ptr<CrashHandlers> LinuxPlatform::crashHandlers()
{
    return std::make_unique<PosixCrashHandlers>();
}

std::unique_ptr<Clock> LinuxPlatform::clock()
{
    return std::make_unique<SystemClock>();
}

std::unique_ptr<Autostart> LinuxPlatform::autostart()
{
    return std::make_unique<XdgAutostart>(QCoreApplication::applicationFilePath(), Paths::autostartFile());
}

std::unique_ptr<LinkOpener> LinuxPlatform::linkOpener()
{
    return std::make_unique<DesktopLinkOpener>();
}

std::unique_ptr<FileRevealer> LinuxPlatform::fileRevealer()
{
    return std::make_unique<FileManagerRevealer>();
}

std::unique_ptr<Pickers> LinuxPlatform::pickers()
{
    return std::make_unique<FileDialogPickers>();
}

std::unique_ptr<Trash> LinuxPlatform::trash()
{
    return std::make_unique<XdgTrash>();
}

std::unique_ptr<ProcessControl> LinuxPlatform::processControl()
{
    return std::make_unique<QtProcessControl>();
}

std::unique_ptr<OlderAppProcesses> LinuxPlatform::olderAppProcesses()
{
    return std::make_unique<ProcOlderAppProcesses>();
}

std::unique_ptr<TerminationRequests> LinuxPlatform::terminationRequests()
{
    return std::make_unique<UnixTerminationSignals>();
}

std::unique_ptr<Screens> LinuxPlatform::screens()
{
    return std::make_unique<QtScreens>();
}

std::unique_ptr<WakeWatcher> LinuxPlatform::wakeWatcher(const Clock& clock)
{
    return std::make_unique<LogindWakeWatcher>(clock, QDBusConnection::systemBus());
}

std::unique_ptr<WallpaperSetter> LinuxPlatform::wallpaperSetter(const Screens& screens)
{
    return std::make_unique<DeferredWallpaperSetter>(
        WallpaperSetterFactory::create(&screens, QDBusConnection::sessionBus()));
}

std::unique_ptr<IdleSource> LinuxPlatform::idleSource()
{
    return std::make_unique<X11IdleSource>(QDBusConnection::systemBus(), QDBusConnection::sessionBus());
}

std::unique_ptr<InputActivity> LinuxPlatform::inputActivity()
{
    return std::make_unique<XInputActivity>();
}

std::unique_ptr<Hotkeys> LinuxPlatform::hotkeys()
{
    return std::make_unique<X11Hotkeys>();
}

} // namespace lumi
