#include "library/FolderRenamer.h"

#include "library/LibraryFiles.h"
#include "library/LocalPhotos.h"
#include "library/PlaylistFolders.h"
#include "model/Album.h"
#include "model/AppLog.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi {

void FolderRenamer::renameFolders(const QString& playlistRoot, const QList<Album>& albums,
                                  const Defaults& defaults, const AppLog& log)
{
    const std::optional<QVariantMap> titles = defaults.mapValue(keys::syncPlaylistTitles);
    if (!titles || albums.isEmpty())
        return;
    for (const QVariant& title : *titles) {
        if (title.typeId() != QMetaType::QString)
            return;
    }
    for (const Album& album : albums) {
        const QString id = QString::number(album.id);
        if (!titles->contains(id))
            continue;
        const QString storedTitle = titles->value(id).toString();
        if (storedTitle == album.title || LocalPhotos::linkedFolder(album, defaults))
            continue;
        const std::optional<QString> from = PlaylistFolders::playlistFolder(playlistRoot, storedTitle);
        const std::optional<QString> to = PlaylistFolders::playlistFolder(playlistRoot, album.title);
        if (!from || !to || !LibraryFiles::isRealDirectory(*from) || LibraryFiles::existsNoFollow(*to))
            continue;
        QDir().mkpath(QFileInfo(*to).path());
        if (QDir().rename(*from, *to))
            log.info(u"playlist %1 renamed: folder moved"_s.arg(id));
    }
}

} // namespace lumi
