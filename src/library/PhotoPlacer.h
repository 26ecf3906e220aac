#pragma once

#include "library/FileIdentity.h"

#include <QString>

#include <optional>

namespace lumi {

/// Puts a photo file into the wallpaper or saver folder under its own name: a hard link, or a
/// copy where the folder is on another file system.
class PhotoPlacer final
{
public:
    PhotoPlacer() = delete;

    enum class Outcome {
        alreadyThere, ///< the entry already is this file (same device and inode): nothing done
        linked,
        copied,
        failed, ///< nothing could be put there; a stale entry of that name is gone
    };

    /// Entry folder/<source's file name>. Where nothing has that name yet, the link goes straight
    /// under it; an older entry of that name (a file or a link) is replaced in one rename, so there
    /// is never a moment without one; a directory of that name is never replaced. A missing source
    /// removes the stale entry. sourceFile, when given, is the source's identity as the caller has
    /// just read it, so it is not read again.
    static Outcome place(const QString& source, const QString& folder,
                         std::optional<FileIdentity> sourceFile = std::nullopt);
};

} // namespace lumi
