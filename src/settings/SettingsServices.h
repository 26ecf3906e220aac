#pragma once

namespace lumi {

class Clock;
class DataDirectory;
class EventSink;
class LinkOpener;
class PlaylistSync;
class SoftwareUpdates;
class SupportTests;
class WallpaperRotation;
class WallpaperService;

/// What the settings window uses beyond the model; all made by the composition root and alive
/// for the whole run, so work a pane started goes on after the pane is gone.
struct SettingsServices
{
    LinkOpener& links;
    Clock& clock;
    EventSink& events;
    WallpaperRotation& rotation;
    PlaylistSync& sync;
    DataDirectory& dataDirectory;
    WallpaperService& wallpapers;
    SoftwareUpdates& updates;
    /// None while the app has no self-test.
    SupportTests* tests = nullptr;
};

} // namespace lumi
