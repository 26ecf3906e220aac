#pragma once

namespace lumi {

class CatalogPages;
class Clock;
class Defaults;
class EventSink;
class FileRevealer;
class Guidance;
class LinkOpener;
class PlaylistEditor;
class RotationEngine;
class SaverLauncher;
class Screens;
class SyncScheduler;

/// What the browser works with besides the model; made by the composition root, each alive for
/// longer than any browser.
struct BrowserServices final
{
    /// The model's playlist and folder operations.
    PlaylistEditor& playlists;
    /// The places tree and the grids' pages.
    CatalogPages& catalog;
    /// The notice line.
    Guidance& guidance;
    RotationEngine& rotation;
    const Screens& screens;
    Defaults& defaults;
    EventSink& events;
    /// The photo library, which knows each playlist's folder.
    const SyncScheduler& sync;
    Clock& clock;
    LinkOpener& links;
    FileRevealer& revealer;
    /// Play starts the gallery and the saver through it.
    SaverLauncher& saver;
};

} // namespace lumi
