#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "state/EventSink.h"
#include "state/WallpaperRotation.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString favoritesFragment = u"favorites"_s;
const QString wallpaperFragment = u"wallpaper"_s;
const QString photoAddedEvent = u"photo-added-to-playlist"_s;
const QString favoriteAddedEvent = u"favorite-added"_s;

bool isLocal(const Medium& photo)
{
    return photo.localPath.has_value();
}

} // namespace

QCoro::Task<void> AppModel::setIncludeInPaper(Album album, bool included)
{
    return setIncluded(std::move(album), u"paper"_s, included);
}

QCoro::Task<void> AppModel::setIncludeInSaver(Album album, bool included)
{
    return setIncluded(std::move(album), u"saver"_s, included);
}

QCoro::Task<void> AppModel::setIncluded(Album album, QString type, bool included)
{
    // The held album keeps its old mark until the reload replaces it.
    const bool accepted = co_await sendChange(m_api.setAlbumIncluded(album, type, included));
    if (accepted)
        co_await reloadAlbums(true);
}

QCoro::Task<bool> AppModel::addToPlaylist(Medium photo, Album album)
{
    const bool accepted = co_await sendChange(m_api.addToAlbum(photo, album.titleFragment));
    if (!accepted)
        co_return false;
    // Whatever the route, a photo in the favorites playlist shows as a favorite.
    if (album.isFavorites())
        insertFavorite(photo.uuid);
    m_events.trackPhoto(photoAddedEvent, photo, {});
    co_await refreshUserAndAlbums();
    co_return true;
}

QCoro::Task<int> AppModel::addPhotosToPlaylist(QList<Medium> photos, Album album)
{
    const Session session = this->session();
    const bool favorites = album.isFavorites();
    int added = 0;
    for (const Medium& photo : std::as_const(photos)) {
        if (isLocal(photo) || (favorites && m_favoriteUUIDs.contains(photo.uuid)))
            continue;
        // The first failure ends the batch; what was added stays added.
        const bool accepted = co_await sendChange(m_api.addToAlbum(photo, album.titleFragment));
        if (!accepted)
            break;
        if (favorites)
            insertFavorite(photo.uuid);
        m_events.trackPhoto(favorites ? favoriteAddedEvent : photoAddedEvent, photo, {});
        ++added;
    }
    if (added > 0 && session.isCurrent())
        co_await refreshUserAndAlbums();
    co_return added;
}

QCoro::Task<bool> AppModel::removeFromPlaylist(Medium photo, Album album)
{
    const bool accepted = co_await sendChange(m_api.removeFromAlbum(photo, album.title));
    if (!accepted)
        co_return false;
    if (album.isFavorites())
        eraseFavorite(photo.uuid);
    co_await reloadAlbums(true);
    co_return true;
}

QCoro::Task<QList<Medium>> AppModel::removePhotos(QList<Medium> photos, Album album)
{
    const Session session = this->session();
    QList<Medium> removed;
    for (const Medium& photo : std::as_const(photos)) {
        if (isLocal(photo)) {
            // A linked folder's files are the user's own: they stay where they are.
            if (album.isLinkedFolder())
                continue;
            // Only from this playlist's own folder, whatever the record claims.
            const std::optional<QString> folder = m_sync.albumFolder(album);
            if (folder && trashLocalPhoto(photo, *folder))
                removed.append(photo);
            continue;
        }
        const bool accepted = co_await sendChange(m_api.removeFromAlbum(photo, album.title));
        if (!accepted)
            break;
        if (album.isFavorites())
            eraseFavorite(photo.uuid);
        removed.append(photo);
    }
    if (!removed.isEmpty() && session.isCurrent())
        co_await reloadAlbums(true);
    co_return removed;
}

QCoro::Task<bool> AppModel::addFavorite(Medium photo)
{
    const bool accepted = co_await sendChange(m_api.addToAlbum(photo, favoritesFragment));
    if (!accepted)
        co_return false;
    insertFavorite(photo.uuid);
    m_events.trackPhoto(favoriteAddedEvent, photo, {});
    co_await refreshUserAndAlbums();
    co_return true;
}

QCoro::Task<bool> AppModel::toggleFavorite(Medium photo)
{
    if (!m_favoriteUUIDs.contains(photo.uuid))
        co_return co_await addFavorite(std::move(photo));
    const std::optional<Album> favorites = favoritesAlbum();
    Album album;
    album.title = favorites ? favorites->title : u"Favorites"_s;
    album.titleFragment = favoritesFragment;
    co_return co_await removeFromPlaylist(std::move(photo), std::move(album));
}

QCoro::Task<bool> AppModel::setAsWallpaper(Medium photo, std::optional<Album> playlist,
                                           std::optional<QList<DisplayInfo>> displays)
{
    // No display chosen is the user backing out, not a wish for every display.
    if ((displays && displays->isEmpty()) || !m_account.isSignedIn())
        co_return false;
    const Session session = this->session();
    if (!playlist) {
        std::optional<Album> wallpaper;
        for (const Album& album : m_account.albums()) {
            if (album.titleFragment == wallpaperFragment) {
                wallpaper = album;
                break;
            }
        }
        if (!wallpaper) {
            wallpaper = co_await createPlaylist(u"Wallpaper"_s);
            if (!wallpaper || !session.isCurrent())
                co_return false;
        }
        const bool added = co_await addToPlaylist(photo, *wallpaper);
        if (!added || !session.isCurrent())
            co_return false;
    }
    co_return co_await m_rotation.showPhoto(std::move(photo), std::move(displays));
}

QCoro::Task<bool> AppModel::sendChange(QCoro::Task<void> request)
{
    const Session session = this->session();
    try {
        co_await request;
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
        co_return false;
    }
    // An answer for a session that ended changes nothing in the next one.
    co_return session.isCurrent();
}

void AppModel::insertFavorite(const QString& uuid)
{
    if (m_favoriteUUIDs.contains(uuid))
        return;
    QSet<QString> uuids = m_favoriteUUIDs;
    uuids.insert(uuid);
    setFavoriteUUIDs(std::move(uuids));
}

void AppModel::eraseFavorite(const QString& uuid)
{
    QSet<QString> uuids = m_favoriteUUIDs;
    uuids.remove(uuid);
    setFavoriteUUIDs(std::move(uuids));
}

} // namespace lumi
