#include "wallpaper/LibrarySyncedPhotos.h"

#include "library/LocalPhotos.h"
#include "library/RotationLibrary.h"

#include <QFileInfo>

#include <algorithm>

namespace lumi {

LibrarySyncedPhotos::LibrarySyncedPhotos(QString photoDirectory, const RotationLibrary& library,
                                         const Defaults& defaults)
    : m_photoDirectory(std::move(photoDirectory)), m_library(library), m_defaults(defaults)
{
}

std::optional<QString> LibrarySyncedPhotos::syncedFile(const QString& shortId) const
{
    const QString key = shortId.toLower();
    for (const QHash<QString, QString>* index : {&m_library.paperIndex(), &m_library.saverIndex()}) {
        const QString file = index->value(key);
        // The user or another program may have deleted it since the sync read the folder.
        if (!file.isEmpty() && QFileInfo(file).isFile())
            return file;
    }
    return std::nullopt;
}

bool LibrarySyncedPhotos::isOwnFile(const QString& path) const
{
    // Resolved, so neither ".." nor a symbolic link leads out of the folders.
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return false;
    QStringList folders = LocalPhotos::linkedFolders(m_defaults);
    folders.append(m_photoDirectory);
    return std::any_of(folders.cbegin(), folders.cend(), [&](const QString& folder) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        return !canonical.isEmpty() && file.startsWith(canonical + u'/');
    });
}

} // namespace lumi
