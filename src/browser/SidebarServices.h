#pragma once

namespace lumi {

class Defaults;
class ErrorSink;
class FileRevealer;
class Guidance;
class PlaylistEditor;
class SyncScheduler;

/// What the sidebar and its playlist rows work with; made by the browser from its services, each
/// alive for longer than the sidebar.
struct SidebarServices
{
    /// Where the rows' changes report their failures.
    ErrorSink& errors;
    /// The playlists' marks, folders and the photos dropped on them.
    PlaylistEditor& playlists;
    /// The tour, whose steps point at the rows, and the notice line.
    Guidance& guidance;
    /// The photo library, which knows each playlist's folder.
    const SyncScheduler& sync;
    FileRevealer& revealer;
    const Defaults& defaults;
};

} // namespace lumi
