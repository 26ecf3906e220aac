#pragma once

#include "model/Album.h"
#include "model/Medium.h"

#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

/// The playlist sync as the application model asks for it.
class SyncScheduler
{
public:
    virtual ~SyncScheduler() = default;

    /// Runs a sync pass after the delay; a newer request replaces one still waiting. force makes
    /// the pass check every file even when the playlists look unchanged.
    virtual void requestSync(std::chrono::milliseconds delay, bool force) = 0;
    /// Drops a waiting request and stops a running pass at its next check.
    virtual void cancelSync() = 0;
    /// The photos of the playlist's linked folder or playlist folder, as local media.
    virtual QList<Medium> albumMedia(const Album& album) const = 0;
    /// The folder that holds one folder per playlist; only files below it are the app's to trash.
    virtual QString playlistRoot() const = 0;
    /// The playlist's linked folder when it exists, else its folder below the playlist root; none
    /// when its title names no folder there.
    virtual std::optional<QString> albumFolder(const Album& album) const = 0;
    /// The photos the last pass placed in the screen-saver folder, as local media.
    virtual QList<Medium> saverFolderPhotos() const = 0;
    /// Every photo in the screen-saver folder as local media, the catalog's synced copies
    /// included: what the saver can play while the service is out of reach.
    virtual QList<Medium> syncedSaverPhotos() const = 0;
};

} // namespace lumi
