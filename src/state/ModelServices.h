#pragma once

namespace lumi {

class APIClient;
class Account;
class AppTakeover;
class Autostart;
class Clock;
class DailyNotifications;
class Defaults;
class EventSink;
class IdleWatch;
class LinkOpener;
class Screens;
class SaverPlayer;
class ShortcutRegistry;
class SyncScheduler;
class WallpaperRotation;
class WindowPresenter;

/// Everything the application model works with, made and owned by the composition root (or a
/// test), each alive for longer than the model.
struct ModelServices final
{
    /// The model is its one writer.
    Account& account;
    Clock& clock;
    Defaults& defaults;
    APIClient& api;
    WallpaperRotation& rotation;
    SyncScheduler& sync;
    IdleWatch& idle;
    ShortcutRegistry& shortcuts;
    SaverPlayer& player;
    WindowPresenter& window;
    EventSink& events;
    DailyNotifications& notifications;
    AppTakeover& takeover;
    Autostart& autostart;
    LinkOpener& links;
    Screens& screens;
};

} // namespace lumi
