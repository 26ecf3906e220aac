#pragma once

#include <memory>

namespace lumi {

class Autostart;
class Clock;
class FileRevealer;
class CrashHandlers;
class Hotkeys;
class IdleSource;
class InputActivity;
class LinkOpener;
class Notifier;
class Pickers;
class OlderAppProcesses;
class ProcessControl;
class Screens;
class SingleInstance;
class SystemTray;
class TerminationRequests;
class Trash;
class WakeWatcher;
class WallpaperSetter;

/// Decides, once at start-up, which implementation of each platform service the app runs on this
/// Linux desktop.
class LinuxPlatform final
{
public:
    LinuxPlatform() = delete;

    static std::unique_ptr<SingleInstance> singleInstance();
    static std::unique_ptr<SystemTray> systemTray();
    static std::unique_ptr<CrashHandlers> crashHandlers();
    static std::unique_ptr<Clock> clock();
    static std::unique_ptr<Autostart> autostart();
    static std::unique_ptr<LinkOpener> linkOpener();
    static std::unique_ptr<FileRevealer> fileRevealer();
    static std::unique_ptr<Pickers> pickers();
    static std::unique_ptr<Trash> trash();
    static std::unique_ptr<ProcessControl> processControl();
    static std::unique_ptr<OlderAppProcesses> olderAppProcesses();
    static std::unique_ptr<Notifier> notifier();
    static std::unique_ptr<TerminationRequests> terminationRequests();
    static std::unique_ptr<Screens> screens();
    /// clock must outlive the watcher.
    static std::unique_ptr<WakeWatcher> wakeWatcher(const Clock& clock);
    /// Decided by WallpaperSetterFactory in the background, since that asks the session bus.
    /// screens must outlive the setter.
    static std::unique_ptr<WallpaperSetter> wallpaperSetter(const Screens& screens);
    static std::unique_ptr<IdleSource> idleSource();
    static std::unique_ptr<InputActivity> inputActivity();
    static std::unique_ptr<Hotkeys> hotkeys();
};

} // namespace lumi
