#include "library/FolderPruner.h"

#include "library/LibraryFiles.h"
#include "library/LocalPhotos.h"
#include "library/PhotoFolder.h"
#include "library/PlaylistFolders.h"
#include "model/Album.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Direct subfolders only; a symbolic link to a folder is not one of ours to clean.
QStringList realSubfolders(const QString& folder)
{
    QStringList folders;
    const QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QString path = QDir::cleanPath(folder + u'/' + name);
        if (LibraryFiles::isRealDirectory(path))
            folders.append(path);
    }
    return folders;
}

// The files and links of a preview folder go, then the folder itself if nothing else is in it.
void removePreviewFolder(const QString& folder)
{
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        LibraryFiles::removeFileOrLink(folder + u'/' + name);
    LibraryFiles::removeFolderIfEmpty(folder);
}

} // namespace

void FolderPruner::pruneStaleFolders(const QString& playlistRoot, const QList<Album>& albums)
{
    QSet<QString> kept;
    for (const Album& album : albums) {
        if (const std::optional<QString> folder = PlaylistFolders::playlistFolder(playlistRoot, album.title))
            kept.insert(*folder);
    }
    for (const QString& folder : realSubfolders(QDir::cleanPath(playlistRoot))) {
        const bool isKept = std::any_of(kept.cbegin(), kept.cend(), [&folder](const QString& path) {
            return PlaylistFolders::isWithin(path, folder);
        });
        if (isKept)
            continue;
        PhotoFolder::removeAppFiles(folder);
        LibraryFiles::removeFolderIfEmpty(folder);
    }
}

void FolderPruner::pruneThumbnails(const QString& imagesDir, const QString& playlistRoot,
                                   const QList<Album>& albums, const Defaults& defaults)
{
    const QString images = QDir::cleanPath(imagesDir);
    QSet<QString> kept;
    for (const Album& album : albums) {
        std::optional<QString> source = LocalPhotos::linkedFolder(album, defaults);
        if (!source)
            source = PlaylistFolders::playlistFolder(playlistRoot, album.title);
        if (!source)
            continue;
        for (const QString& photo : LocalPhotos::photoFiles(*source)) {
            const QString name = QFileInfo(photo).fileName();
            if (const std::optional<QString> folder =
                    PlaylistFolders::previewFolder(images, album.title, name))
                kept.insert(*folder);
        }
    }

    // The iterator does not descend through symbolic links, so every preview it finds lies in
    // real folders below imagesDir.
    QSet<QString> stale;
    QDirIterator it(images, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo preview(it.next());
        if (preview.fileName() != PlaylistFolders::previewFileName || preview.isDir())
            continue;
        const QString folder = QDir::cleanPath(preview.path());
        if (folder != images && !kept.contains(folder) && LibraryFiles::isRealDirectory(folder))
            stale.insert(folder);
    }
    for (const QString& folder : std::as_const(stale))
        removePreviewFolder(folder);

    for (const QString& folder : realSubfolders(images))
        LibraryFiles::removeFolderIfEmpty(folder);
}

} // namespace lumi
