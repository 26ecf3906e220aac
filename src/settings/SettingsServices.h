#pragma once

namespace lumi {

class Account;
class Clock;
class DataDirectory;
class ErrorSink;
class EventSink;
class LinkOpener;
class PhotoImageSource;
class PlaylistEditor;
class PlaylistSync;
class RotationEngine;
class SaverLauncher;
class SettingsSync;
class ShortcutRegistry;
class SoftwareUpdates;
class SupportTests;
class WallpaperRotation;
class WallpaperService;

/// What the settings window and the calendar set-up sheet use beyond the model; all made by the composition
/// root and alive for the whole run, so work a pane started goes on after the pane is gone.
struct SettingsServices
{
    /// Where the panes report what failed.
    ErrorSink& errors;
    /// The signed-in user, whose record the panes show.
    const Account& account;
    /// The account's settings and the login item, which the panes change.
    SettingsSync& settingsSync;
    LinkOpener& links;
    Clock& clock;
    EventSink& events;
    WallpaperRotation& rotation;
    /// The photo now on the wallpaper and its calendar, for the set-up sheet's preview.
    RotationEngine& engine;
    PhotoImageSource& photos;
    PlaylistSync& sync;
    /// Imports a folder of folders as playlists.
    PlaylistEditor& playlists;
    DataDirectory& dataDirectory;
    WallpaperService& wallpapers;
    SoftwareUpdates& updates;
    /// The saver pane's Preview.
    SaverLauncher& saver;
    /// What the global shortcuts do now, for the application pane's line.
    const ShortcutRegistry& shortcuts;
    /// None while the app has no self-test.
    SupportTests* tests = nullptr;
};

} // namespace lumi
