#pragma once

#include "library/RotationLibrary.h"
#include "model/Album.h"
#include "model/Medium.h"
#include "wallpaper/RotationQueue.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

namespace lumi {

class APIClient;
struct User;

/// The photos the rotation may show, and the queue it shows them through. The pool holds the
/// playlists marked for the wallpaper (kept to the photos already synced when any are) plus the
/// user's own files in the wallpaper folder, or the photos of the day when there is nothing else;
/// it is reused for six hours while the marked playlists stay the same.
class PhotoPool final
{
public:
    static constexpr std::chrono::seconds reuseLimit{21600};
    static constexpr int pageSize = 500;
    static constexpr int maxPages = 10;

    /// What one build reads, taken at once before anything is fetched.
    struct Sources
    {
        QList<Album> marked;
        QString key;
        QHash<QString, QString> paperIndex;
        QList<Medium> ownPhotos;
    };

    explicit PhotoPool(QRandomGenerator* random = nullptr) : m_queue(random) {}

    static Sources sources(const QList<Album>& albums, const std::optional<User>& user,
                           const RotationLibrary& library);
    /// The marked playlists' ids joined by ",", then "|" and the user's playlist stamp.
    static QString keyOf(const QList<Album>& marked, const std::optional<User>& user);
    /// The key of the pool that these albums and the user make, without reading any folder.
    static QString keyFor(const QList<Album>& albums, const std::optional<User>& user)
    {
        return keyOf(markedOf(albums), user);
    }

    /// The pool was built from the same key within the reuse limit and is not empty. A build time
    /// later than now (the clock was set back) does not count as recent.
    bool isFresh(const QString& key, const QDateTime& now) const;
    /// The pool was last built later than the time.
    bool isBuiltAfter(const QDateTime& time) const { return m_builtAt && *m_builtAt > time; }
    /// Fetches the listings and puts the pool together; changes no pool. Throws APIError; a
    /// playlist whose address can't form a request is left out instead.
    static QCoro::Task<QList<Medium>> gather(APIClient& api, Sources sources);
    /// What gather puts together, from listings a sync pass fetched; none when a marked playlist
    /// is not among them or the photos of the day would have to be asked for.
    static std::optional<QList<Medium>> fromListings(const PlaylistListings& listings,
                                                     const Sources& sources);
    /// Every photo of one playlist as the service lists it, in pages of 500, at most ten pages.
    /// Throws the first page's failure.
    static QCoro::Task<QList<Medium>> playlistMedia(APIClient& api, Album album);
    /// The synced photos of the wallpaper folder and the user's own files there, as local media:
    /// what still rotates while the service can't be reached. A synced photo keeps its title from
    /// titles (short id to title, empty for none), else its file name tells it.
    static QList<Medium> onDisk(const Sources& sources, const QHash<QString, QString>& titles);
    /// Makes a gathered list the pool; the queue starts over.
    void commit(QList<Medium> photos, QString key, QDateTime builtAt);

    /// The next photo to show; none when the pool is empty.
    std::optional<Medium> next(bool shuffle, const std::optional<Medium>& showing)
    {
        return m_queue.next(m_photos, showing, shuffle);
    }
    /// Forgets the photos, the queue and the key; the build time stays.
    void clear();

    const QList<Medium>& photos() const { return m_photos; }
    const QList<Medium>& queued() const { return m_queue.photos(); }
    const QString& key() const { return m_key; }
    /// An empty key makes the next change build the pool again.
    void setKey(QString key) { m_key = std::move(key); }

private:
    static QList<Album> markedOf(const QList<Album>& albums);
    static QList<Medium> assemble(const QList<Medium>& fetched, const Sources& sources);

    QList<Medium> m_photos;
    RotationQueue m_queue;
    QString m_key;
    std::optional<QDateTime> m_builtAt;
};

} // namespace lumi
