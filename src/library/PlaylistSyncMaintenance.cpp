// The library maintenance of PlaylistSync: resize, clear and the removal of a playlist's downloads.

#include "library/LibraryFiles.h"
#include "library/LocalPhotos.h"
#include "library/PhotoFileNames.h"
#include "library/PhotoFolder.h"
#include "library/PlaylistSync.h"
#include "model/Account.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Paths.h"

#include <QDirIterator>
#include <QSet>

using namespace Qt::StringLiterals;

namespace lumi {

void PlaylistSync::resizePhotos()
{
    m_defaults.remove(keys::syncFormat);
    cancelSync();

    QStringList folders{m_layout.paperDir, m_layout.saverDir};
    // Real folders only: the iterator never descends through a symbolic link, and a link to a
    // folder elsewhere is not the sync's to clean.
    QDirIterator below(m_layout.playlistRoot, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (below.hasNext()) {
        const QString folder = below.next();
        if (LibraryFiles::isRealDirectory(folder))
            folders.append(folder);
    }
    folders.append(m_layout.playlistRoot);
    for (const QString& folder : std::as_const(folders))
        PhotoFolder::removeAppFiles(folder);

    const LinkedDownloads::Record record = LinkedDownloads::read(m_defaults, keys::syncLinkedDownloads);
    for (const Album& album : m_account.albums()) {
        if (LocalPhotos::linkedFolder(album, m_defaults))
            removeDownloads(album, record);
    }
    m_defaults.remove(keys::syncState);
    rebuildIndexes();
    emit poolFoldersChanged();
    m_log.info(u"resize photos: downloads deleted, syncing again"_s);
    m_force = true;
    startRun();
}

void PlaylistSync::clearFiles()
{
    cancelSync();
    const QStringList folders{m_layout.paperDir, m_layout.saverDir,
                              Paths::appDataFolder() + u"/Wallpapers/Photos"_s};
    for (const QString& folder : folders)
        PhotoFolder::removePhotoFiles(folder, [](const QString&) { return true; });
    rebuildIndexes();
    m_log.info(u"clear files: wallpaper and saver folders emptied, re-linking"_s);
    m_force = true;
    startRun();
}

void PlaylistSync::removeLinkedDownloads(const Album& album)
{
    removeDownloads(album, LinkedDownloads::read(m_defaults, keys::syncLinkedDownloads));
}

void PlaylistSync::removeDownloads(const Album& album, const LinkedDownloads::Record& record)
{
    const std::optional<QString> folder = albumFolder(album);
    if (!folder)
        return;
    const bool linked = LocalPhotos::linkedFolder(album, m_defaults).has_value();
    const QStringList entry = record.value(QString::number(album.id));
    const QSet<QString> recorded(entry.cbegin(), entry.cend());
    PhotoFolder::removePhotoFiles(*folder, [&](const QString& name) {
        return PhotoFileNames::isAppFileName(name) && (!linked || recorded.contains(name));
    });
}

} // namespace lumi
