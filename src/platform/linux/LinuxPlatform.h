#pragma once

#include <memory>

namespace lumi {

class Autostart;
class Clock;
class LinkOpener;
class Pickers;
class SingleInstance;
class SystemTray;
class TerminationRequests;
class Trash;

/// Decides, once at start-up, which implementation of each platform service the app runs on this
/// Linux desktop. The wallpaper setter has its own factory, since choosing it asks the bus.
class LinuxPlatform final
{
public:
    LinuxPlatform() = delete;

    static std::unique_ptr<SingleInstance> singleInstance();
    static std::unique_ptr<SystemTray> systemTray();
    static std::unique_ptr<Clock> clock();
    static std::unique_ptr<Autostart> autostart();
    static std::unique_ptr<LinkOpener> linkOpener();
    static std::unique_ptr<Pickers> pickers();
    static std::unique_ptr<Trash> trash();
    static std::unique_ptr<TerminationRequests> terminationRequests();
};

} // namespace lumi
