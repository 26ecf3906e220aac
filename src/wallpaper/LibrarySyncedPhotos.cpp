#include "wallpaper/LibrarySyncedPhotos.h"

#include "library/LocalPhotos.h"
#include "library/RotationLibrary.h"

#include <QFileInfo>

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
    return LocalPhotos::isOwnFile(path, m_photoDirectory, m_defaults);
}

} // namespace lumi
