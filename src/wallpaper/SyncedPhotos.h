#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// The photo library's synced copies of catalog photos, so a wallpaper needs no download when the
/// sync already brought the photo.
class SyncedPhotos
{
public:
    virtual ~SyncedPhotos() = default;

    /// The synced file of the photo with this short id (the first 8 characters of the lower-cased
    /// uuid): the wallpaper folder's copy first, then the screen saver folder's; none when the
    /// photo is not synced.
    virtual std::optional<QString> syncedFile(const QString& shortId) const = 0;
    /// The file lies inside the photo directory or a folder linked on this computer: only such
    /// a local path is read for a wallpaper.
    virtual bool isOwnFile(const QString& path) const = 0;
};

} // namespace lumi
