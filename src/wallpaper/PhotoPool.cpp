#include "wallpaper/PhotoPool.h"

#include "library/RotationLibrary.h"
#include "model/APIClient.h"
#include "model/User.h"

#include <QSet>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int todayCount = 10;

QCoro::Task<QList<Medium>> listing(APIClient& api, QString path, int page, int perPage)
{
    APIRequest request;
    request.method = u"GET"_s;
    request.path = std::move(path);
    request.query = {{u"page"_s, QString::number(page)}, {u"per_page"_s, QString::number(perPage)}};
    co_return (co_await api.request<MediaResponse>(std::move(request))).media.value_or(QList<Medium>());
}

} // namespace

PhotoPool::Sources PhotoPool::sources(const QList<Album>& albums, const std::optional<User>& user,
                                      const RotationLibrary& library)
{
    Sources sources;
    for (const Album& album : albums) {
        if (album.includeInPaper.value_or(false))
            sources.marked.append(album);
    }
    sources.key = keyOf(sources.marked, user);
    sources.paperIndex = library.paperIndex();
    sources.ownPhotos = library.folderPhotos(library.paperDir());
    return sources;
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
    for (const Album& album : std::as_const(sources.marked))
        fetched += co_await playlistMedia(api, album);
    if (fetched.isEmpty() && sources.ownPhotos.isEmpty())
        fetched = co_await listing(api, u"media/today"_s, 1, todayCount);
    co_return assemble(fetched, sources);
}

QCoro::Task<QList<Medium>> PhotoPool::playlistMedia(APIClient& api, Album album)
{
    QList<Medium> media;
    for (int page = 1; page <= maxPages; ++page) {
        const QList<Medium> batch =
            co_await listing(api, u"media/playlists/"_s + album.titleFragment, page, pageSize);
        media += batch;
        if (batch.size() < pageSize)
            break;
    }
    co_return media;
}

QList<Medium> PhotoPool::assemble(const QList<Medium>& fetched, const Sources& sources)
{
    QList<Medium> pool;
    QSet<QString> taken;
    for (const Medium& photo : fetched) {
        if (!photo.secureBaseUrl || taken.contains(photo.uuid))
            continue;
        taken.insert(photo.uuid);
        pool.append(photo);
    }
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
