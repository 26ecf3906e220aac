#pragma once

#include "model/Medium.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace lumi {

/// The .jpg and .jpeg files of one folder of the photo library: listing them, indexing them by
/// short photo id, and deleting them by name.
class PhotoFolder final
{
public:
    PhotoFolder() = delete;

    /// Paths of the folder's own entries (hidden ones included) whose extension, in any case, is
    /// jpg or jpeg, sorted by name. Folders (also through a symbolic link) are not photo files.
    /// Empty when the folder can't be listed.
    static QStringList listPhotoFiles(const QString& folder);
    /// Short photo id (the 8 characters after the last "-" of the stem, lower-cased) to file, for
    /// stems of at least 9 characters; a later file with the same id replaces the earlier one.
    static QHash<QString, QString> indexFolder(const QString& folder);
    /// The files of an index as local media, sorted by path, the short id as uuid. A photo's title
    /// is its entry in titles (short id to title, empty for none), else the stem before the id:
    /// all the file tells of the photo.
    static QList<Medium> indexedPhotos(const QHash<QString, QString>& index,
                                       const QHash<QString, QString>& titles = {});
    /// The short photo id the file's stem ends in, by the rule of indexFolder; none without one.
    static std::optional<QString> shortIdOf(const QString& file);
    /// Deletes each photo file of the folder whose name shouldRemove accepts. Only regular files
    /// and symbolic links go (a link, never its target); returns how many went.
    static int removePhotoFiles(const QString& folder,
                                const std::function<bool(const QString& name)>& shouldRemove);
    /// Deletes the photo files whose names the sync writes (`PhotoFileNames::isAppFileName`).
    static int removeAppFiles(const QString& folder);
};

} // namespace lumi
