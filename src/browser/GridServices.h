#pragma once

namespace lumi {

class AppModel;
class CatalogPages;
class Clock;
class Defaults;
class FileRevealer;
class Guidance;
class LinkOpener;
class PhotoSheets;
class PlaylistEditor;
class Screens;
class ThumbnailLoader;

/// What the photo grid and its tiles work with; everything here outlives them. The thumbnail
/// loader is shared by every grid, so its cache survives a change of source.
struct GridServices
{
    AppModel& model;
    CatalogPages& catalog;
    PlaylistEditor& playlists;
    /// The tour, whose steps point at the tiles.
    Guidance& guidance;
    const Defaults& defaults;
    const Screens& screens;
    LinkOpener& links;
    FileRevealer& revealer;
    PhotoSheets& sheets;
    ThumbnailLoader& thumbnails;
    Clock& clock;
};

} // namespace lumi
