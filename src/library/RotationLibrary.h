#pragma once

#include "model/MediaFormat.h"
#include "model/Medium.h"

#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

/// The photos a sync pass listed, by playlist id.
using PlaylistListings = QHash<qint64, QList<Medium>>;

/// What the rotation reads of the synced photo library, and the sync it asks for.
class RotationLibrary
{
public:
    virtual ~RotationLibrary() = default;

    /// The wallpaper folder, where the sync links the wallpaper playlists' photos.
    virtual const QString& paperDir() const = 0;
    /// Short photo id to the synced file in the wallpaper folder.
    virtual const QHash<QString, QString>& paperIndex() const = 0;
    /// Short photo id to the synced file in the screen saver folder.
    virtual const QHash<QString, QString>& saverIndex() const = 0;
    /// The photos of a folder that the sync did not put there, as local media.
    virtual QList<Medium> folderPhotos(const QString& folder) const = 0;
    /// Short photo id to the title the last pass listed the synced photo under (empty when it had
    /// none); read from disk at each call.
    virtual QHash<QString, QString> syncedTitles() const = 0;
    /// The catalog format the largest display needs now.
    virtual MediaFormat targetFormat() const = 0;
    /// The format of the last sync that went to work; none when unknown.
    virtual std::optional<MediaFormat> storedFormat() const = 0;
    /// Runs a sync after the delay; a newer request replaces one still waiting.
    virtual void requestSync(std::chrono::milliseconds delay, bool force) = 0;
};

} // namespace lumi
