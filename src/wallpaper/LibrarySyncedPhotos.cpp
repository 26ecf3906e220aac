#include "wallpaper/LibrarySyncedPhotos.h"

#include "library/LibraryLayout.h"
#include "library/PhotoFolder.h"

namespace lumi {

LibrarySyncedPhotos::LibrarySyncedPhotos(QString photoDirectory) : m_photoDirectory(std::move(photoDirectory))
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

} // namespace lumi
