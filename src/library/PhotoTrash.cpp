#include "library/PhotoTrash.h"

#include "library/LibraryFiles.h"
#include "library/PlaylistFolders.h"
#include "platform/Trash.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<QString> PhotoTrash::trashPlaylistPhoto(Trash& trash, const QString& playlistRoot,
                                                      const QString& localPath)
{
    const QString root = QDir::cleanPath(playlistRoot);
    const QString path = QDir::cleanPath(localPath);
    if (!QDir::isAbsolutePath(path) || !path.startsWith(root + u'/') || localPath.contains(QChar(u'\0')))
        return u"%1 is not in the playlist folders"_s.arg(localPath);
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"jpg"_s && suffix != u"jpeg"_s)
        return u"%1 is not a photo"_s.arg(localPath);
    if (!LibraryFiles::isRealFile(path))
        return u"%1 is not a photo file"_s.arg(localPath);
    // The folder holding it must resolve inside the root too: a linked folder inside the root
    // leads to the user's own files.
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonicalFolder = QFileInfo(QFileInfo(path).path()).canonicalFilePath();
    if (canonicalRoot.isEmpty() || !PlaylistFolders::isWithin(canonicalFolder, canonicalRoot))
        return u"%1 is not in the playlist folders"_s.arg(localPath);
    return trash.moveToTrash(path);
}

} // namespace lumi
