#include "wallpaper/PlaylistSyncLibrary.h"

#include "library/PlaylistSync.h"

namespace lumi {

const QString& PlaylistSyncLibrary::paperDir() const
{
    return m_sync.paperDir();
}

const QHash<QString, QString>& PlaylistSyncLibrary::paperIndex() const
{
    return m_sync.paperIndex();
}

QList<Medium> PlaylistSyncLibrary::folderPhotos(const QString& folder) const
{
    return m_sync.folderPhotos(folder);
}

MediaFormat PlaylistSyncLibrary::targetFormat() const
{
    return m_sync.targetFormat();
}

std::optional<MediaFormat> PlaylistSyncLibrary::storedFormat() const
{
    return m_sync.storedFormat();
}

void PlaylistSyncLibrary::requestSync(std::chrono::milliseconds delay, bool force)
{
    m_sync.requestSync(delay, force);
}

} // namespace lumi
