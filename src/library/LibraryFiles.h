#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

class QFileDevice;

namespace lumi {

/// The file primitives of the photo library. Deletions by name never take a directory and never
/// follow a symbolic link; replacements go through a temporary name and one rename, so a reader
/// never sees half a file and nothing is written through an existing link to another file.
class LibraryFiles final
{
public:
    LibraryFiles() = delete;

    /// Something is at the path, a dangling symbolic link included.
    static bool existsNoFollow(const QString& path);
    /// A directory itself, not a symbolic link to one.
    static bool isRealDirectory(const QString& path);
    /// A regular file itself, not a symbolic link to one.
    static bool isRealFile(const QString& path);
    /// Removes a regular file or a symbolic link (the link, never its target). A directory, or
    /// anything else, is left alone and gives false.
    static bool removeFileOrLink(const QString& path);
    /// Removes the folder when it holds nothing but ".DS_Store" files; never recurses.
    static bool removeFolderIfEmpty(const QString& folder);

    /// Puts a hard link to source at destination, replacing a file or link there.
    static bool linkInto(const QString& source, const QString& destination, QString* error = nullptr);
    /// Puts a hard link to source at destination only when nothing is there: 0, or the errno of
    /// the refusal (EEXIST when something is, ENOENT when the source is missing).
    static int linkNew(const QString& source, const QString& destination);
    /// Puts a copy of source at destination, replacing a file or link there.
    static bool copyInto(const QString& source, const QString& destination, QString* error = nullptr);
    /// Writes all of data to the open file, going on after a short write; false with the reason
    /// (a full disk, say) when the file takes no more.
    static bool writeAll(QFileDevice& file, QByteArrayView data, QString* error = nullptr);
    /// Renames from over to (a file or link there is replaced, a directory is not).
    static bool replace(const QString& from, const QString& to, QString* error = nullptr);
    /// The canonical form of a clean absolute path that may not exist yet: its deepest existing
    /// ancestor resolved, the rest appended. None when an existing part can't be resolved (a
    /// dangling symbolic link could be made to point anywhere before the folder is created).
    static std::optional<QString> resolvedPath(const QString& cleanPath);
    /// Deletes what an end in mid-write left in the folder: temporary names and ".jpg.part"
    /// downloads. Returns how many went.
    static int removeLeftovers(const QString& folder);
};

} // namespace lumi
