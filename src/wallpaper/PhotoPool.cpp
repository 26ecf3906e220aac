#include "wallpaper/PhotoPool.h"

#include "library/PhotoFolder.h"
#include "model/APIClient.h"
#include "model/APIError.h"
#include "model/MediaPages.h"
#include "model/User.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int todayCount = 10;

} // namespace

PhotoPool::Sources PhotoPool::sources(const QList<Album>& albums, const std::optional<User>& user,
                                      const RotationLibrary& library)
{
    Sources sources;
    sources.marked = markedOf(albums);
    sources.key = keyOf(sources.marked, user);
    sources.paperIndex = library.paperIndex();
    sources.ownPhotos = library.folderPhotos(library.paperDir());
    return sources;
}

QList<Album> PhotoPool::markedOf(const QList<Album>& albums)
{
    QList<Album> marked;
    for (const Album& album : albums) {
        if (album.includeInPaper.value_or(false))
            marked.append(album);
    }
    return marked;
}

QString PhotoPool::keyOf(const QList<Album>& marked, const std::optional<User>& user)
{
    QStringList ids;
    for (const Album& album : marked)
        ids.append(QString::number(album.id));
    return ids.join(u',') + u'|' + (user ? user->playlistsUpdatedAt.value_or(QString()) : QString());
}

bool PhotoPool::isFresh(const QString& key, const QDateTime& now) const
{
    if (!m_builtAt || key != m_key || m_photos.isEmpty())
        return false;
    const qint64 age = m_builtAt->secsTo(now);
    return age >= 0 && age <= reuseLimit.count();
}

QCoro::Task<QList<Medium>> PhotoPool::gather(APIClient& api, Sources sources)
{
    QList<Medium> fetched;
    for (const Album& album : std::as_const(sources.marked)) {
        try {
            fetched += co_await playlistMedia(api, album);
        } catch (const APIError& error) {
            // A playlist whose address can't form a request is left out (the client logged it);
            // the others still make the pool.
            if (error.kind() != APIError::Kind::InvalidRequest)
                throw;
        }
    }
    if (fetched.isEmpty() && sources.ownPhotos.isEmpty())
        fetched = co_await api.mediaPage(MediaQuery{.path = u"today"_s, .perPage = todayCount});
    co_return assemble(fetched, sources);
}

std::optional<QList<Medium>> PhotoPool::fromListings(const PlaylistListings& listings, const Sources& sources)
{
    QList<Medium> fetched;
    for (const Album& album : std::as_const(sources.marked)) {
        const auto listing = listings.constFind(album.id);
        if (listing == listings.cend())
            return std::nullopt;
        fetched += *listing;
    }
    if (fetched.isEmpty() && sources.ownPhotos.isEmpty())
        return std::nullopt;
    return assemble(fetched, sources);
}

QCoro::Task<QList<Medium>> PhotoPool::playlistMedia(APIClient& api, Album album)
{
    co_return co_await MediaPages::fetch(api, MediaQuery::playlist(album, pageSize), maxPages);
}

QList<Medium> PhotoPool::assemble(const QList<Medium>& fetched, const Sources& sources)
{
    QList<Medium> pool = MediaPages::unique(fetched, MediaPages::catalogKey);
    if (sources.marked.isEmpty())
        return pool;

    // Once any of them is synced, only synced photos are shown: they need no download.
    if (!sources.paperIndex.isEmpty()) {
        QList<Medium> synced;
        for (const Medium& photo : std::as_const(pool)) {
            if (sources.paperIndex.contains(photo.shortId()))
                synced.append(photo);
        }
        if (!synced.isEmpty())
            pool = std::move(synced);
    }
    return pool + sources.ownPhotos;
}

QList<Medium> PhotoPool::onDisk(const Sources& sources, const QHash<QString, QString>& titles)
{
    return PhotoFolder::indexedPhotos(sources.paperIndex, titles) + sources.ownPhotos;
}

void PhotoPool::commit(QList<Medium> photos, QString key, QDateTime builtAt)
{
    m_photos = std::move(photos);
    m_queue.clear();
    m_key = std::move(key);
    m_builtAt = std::move(builtAt);
}

void PhotoPool::clear()
{
    m_photos.clear();
    m_queue.clear();
    m_key.clear();
}

} // namespace lumi
