#include "wallpaper/LibrarySyncedPhotos.h"

#include "library/LibraryLayout.h"
#include "library/LocalPhotos.h"
#include "library/PhotoFolder.h"

#include <QFileInfo>

#include <algorithm>

namespace lumi {

LibrarySyncedPhotos::LibrarySyncedPhotos(QString photoDirectory, const Defaults& defaults)
    : m_photoDirectory(std::move(photoDirectory)), m_defaults(defaults)
{
}

std::optional<QString> LibrarySyncedPhotos::syncedFile(const QString& shortId) const
{
    const LibraryLayout layout = LibraryLayout::at(m_photoDirectory);
    for (const QString& folder : {layout.paperDir, layout.saverDir}) {
        const QString file = PhotoFolder::indexFolder(folder).value(shortId.toLower());
        if (!file.isEmpty())
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
