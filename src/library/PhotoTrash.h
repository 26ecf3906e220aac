#pragma once

#include <QString>

#include <optional>

namespace lumi {

class Trash;

/// Moves a photo file of the playlist folders to the trash. The path comes from a photo record
/// (its local path), which the server may have had a hand in, so it is checked first: a .jpg or
/// .jpeg file (not a folder) that lies inside the playlist root, also once symbolic links are
/// resolved. Files of linked folders are the user's and never go this way.
class PhotoTrash final
{
public:
    PhotoTrash() = delete;

    /// None on success, else why nothing was moved.
    static std::optional<QString> trashPlaylistPhoto(Trash& trash, const QString& playlistRoot,
                                                     const QString& localPath);
};

} // namespace lumi
