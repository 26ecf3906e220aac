#include "library/SyncState.h"

#include "library/LocalPhotos.h"
#include "library/PlaylistFolders.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/User.h"
#include "platform/DisplayInfo.h"

#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

MediaFormat SyncState::targetFormat(const QList<DisplayInfo>& displays)
{
    const DisplayInfo* largest = nullptr;
    for (const DisplayInfo& display : displays) {
        const qint64 size = qint64(display.pixelSize.width()) * display.pixelSize.height();
        if (!largest || size > qint64(largest->pixelSize.width()) * largest->pixelSize.height())
            largest = &display;
    }
    if (!largest)
        return MediaFormat::bestFit(0, 0);
    return MediaFormat::bestFit(largest->pixelSize.width(), largest->pixelSize.height());
}

std::optional<MediaFormat> SyncState::storedFormat(const Defaults& defaults)
{
    const std::optional<QString> text = defaults.stringValue(keys::syncFormat);
    return text ? parseFormat(*text) : std::nullopt;
}

std::optional<MediaFormat> SyncState::parseFormat(const QString& text)
{
    QList<int> numbers;
    for (const QString& field : text.split(u'x', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int number = field.toInt(&ok);
        if (ok)
            numbers.append(number);
    }
    if (numbers.size() != 2)
        return std::nullopt;
    for (const MediaFormat& format : MediaFormat::all()) {
        if (format.width == numbers[0] && format.height == numbers[1])
            return format;
    }
    return std::nullopt;
}

MediaFormat SyncState::passFormat(const MediaFormat& target, const std::optional<MediaFormat>& stored)
{
    return stored && area(*stored) >= area(target) ? *stored : target;
}

QString SyncState::formatText(const MediaFormat& format)
{
    return QString::number(format.width) + u'x' + QString::number(format.height);
}

bool SyncState::isMarked(const Album& album)
{
    return album.includeInPaper.value_or(false) || album.includeInSaver.value_or(false);
}

QList<Album> SyncState::markedAlbums(const QList<Album>& albums)
{
    QList<Album> marked;
    std::copy_if(albums.cbegin(), albums.cend(), std::back_inserter(marked), &SyncState::isMarked);
    return marked;
}

QString SyncState::stateEntry(const Album& album)
{
    const QString marks = QString(album.includeInPaper.value_or(false) ? u'1' : u'0') +
                          (album.includeInSaver.value_or(false) ? u'1' : u'0');
    return QString::number(album.id) + u':' + album.title + u':' + marks + u':' +
           QString::number(album.count.value_or(-1));
}

QString SyncState::syncState(const QList<Album>& albums, const User& user, const MediaFormat& format)
{
    QStringList entries;
    for (const Album& album : albums) {
        if (isMarked(album))
            entries.append(stateEntry(album));
    }
    std::sort(entries.begin(), entries.end());
    return QStringList{user.playlistsUpdatedAt.value_or(QString()), formatText(format),
                       usesCdn(user) ? u"cdn"_s : u"no-cdn"_s, entries.join(u',')}
        .join(u'|');
}

QString SyncState::localPhotoState(const QList<Album>& marked, const QString& playlistRoot,
                                   const Defaults& defaults)
{
    QStringList entries;
    for (const Album& album : marked) {
        const std::optional<QString> folder = albumFolder(album, playlistRoot, defaults);
        if (!folder)
            continue;
        for (const QString& file : LocalPhotos::photoFiles(*folder)) {
            const QFileInfo info(file);
            const QDateTime modified = info.lastModified();
            const QString seconds =
                modified.isValid() ? QString::number(modified.toSecsSinceEpoch()) : u"0"_s;
            entries.append(info.fileName() + u':' + seconds);
        }
    }
    return entries.join(u',');
}

QString SyncState::stateString(const QList<Album>& albums, const User& user, const MediaFormat& format,
                               const QString& playlistRoot, const Defaults& defaults)
{
    return syncState(albums, user, format) + u'|' +
           localPhotoState(markedAlbums(albums), playlistRoot, defaults);
}

QString SyncState::localLook(const MediaFormat& format, const User& user)
{
    return formatText(format) + u'|' + user.importedPhotosFit.value_or(u"adapt"_s);
}

bool SyncState::usesCdn(const User& user)
{
    return !user.flagList().contains(u"no-cdn"_s);
}

std::optional<QString> SyncState::albumFolder(const Album& album, const QString& playlistRoot,
                                              const Defaults& defaults)
{
    if (std::optional<QString> linked = LocalPhotos::linkedFolder(album, defaults))
        return linked;
    return PlaylistFolders::playlistFolder(playlistRoot, album.title);
}

} // namespace lumi
