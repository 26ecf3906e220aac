#include "state/PlaylistEditor.h"

#include "library/LocalPhotos.h"
#include "library/PhotoTrash.h"
#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Blanks.h"
#include "state/AppModel.h"
#include "state/EventSink.h"
#include "state/Guidance.h"
#include "state/ModelSession.h"
#include "state/WallpaperRotation.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

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

const QString productWord = u"lumivale"_s;

bool isPlaylistNameCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z') ||
           (code >= u'0' && code <= u'9') || code == u' ' || code == u'-' || code == u'\'';
}

// Accepted when nothing is lost to the filter and something is left.
bool isAcceptedPlaylistName(const QString& trimmed)
{
    return !trimmed.isEmpty() && Blanks::trimmed(PlaylistEditor::filterPlaylistName(trimmed)) == trimmed;
}

} // namespace

PlaylistEditor::PlaylistEditor(Services services, QObject* parent)
    : QObject(parent), m_model(services.model), m_guidance(services.guidance), m_api(services.api),
      m_defaults(services.defaults), m_sync(services.sync), m_rotation(services.rotation),
      m_events(services.events), m_pickers(services.pickers), m_trash(services.trash)
{
}

PlaylistEditor::~PlaylistEditor() = default;

ModelSession PlaylistEditor::session() const
{
    return ModelSession(m_model, *this);
}

QCoro::Task<void> PlaylistEditor::setIncludeInPaper(Album album, bool included)
{
    return setIncluded(std::move(album), u"paper"_s, included);
}

QCoro::Task<void> PlaylistEditor::setIncludeInSaver(Album album, bool included)
{
    return setIncluded(std::move(album), u"saver"_s, included);
}

QCoro::Task<void> PlaylistEditor::setIncluded(Album album, QString type, bool included)
{
    // The held album keeps its old mark until the reload replaces it.
    const bool accepted = co_await sendChange(m_api.setAlbumIncluded(album, type, included));
    if (accepted)
        co_await m_model.reloadAlbums(true);
}

QCoro::Task<bool> PlaylistEditor::addToPlaylist(Medium photo, Album album)
{
    const bool accepted = co_await sendChange(m_api.addToAlbum(photo, album.titleFragment));
    if (!accepted)
        co_return false;
    // Whatever the route, a photo in the favorites playlist shows as a favorite.
    if (album.isFavorites())
        insertFavorite(photo.uuid);
    m_events.trackPhoto(photoAddedEvent, photo, {});
    co_await m_model.refreshUserAndAlbums();
    co_return true;
}

QCoro::Task<int> PlaylistEditor::addPhotosToPlaylist(QList<Medium> photos, Album album)
{
    const ModelSession session = this->session();
    const bool favorites = album.isFavorites();
    int added = 0;
    for (const Medium& photo : std::as_const(photos)) {
        if (isLocal(photo) || (favorites && m_model.favoriteUUIDs().contains(photo.uuid)))
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
        co_await m_model.refreshUserAndAlbums();
    co_return added;
}

QCoro::Task<bool> PlaylistEditor::removeFromPlaylist(Medium photo, Album album)
{
    const bool accepted = co_await sendChange(m_api.removeFromAlbum(photo, album.title));
    if (!accepted)
        co_return false;
    if (album.isFavorites())
        eraseFavorite(photo.uuid);
    co_await m_model.reloadAlbums(true);
    co_return true;
}

QCoro::Task<QList<Medium>> PlaylistEditor::removePhotos(QList<Medium> photos, Album album)
{
    const ModelSession session = this->session();
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
        co_await m_model.reloadAlbums(true);
    co_return removed;
}

QCoro::Task<bool> PlaylistEditor::addFavorite(Medium photo)
{
    const bool accepted = co_await sendChange(m_api.addToAlbum(photo, favoritesFragment));
    if (!accepted)
        co_return false;
    insertFavorite(photo.uuid);
    m_events.trackPhoto(favoriteAddedEvent, photo, {});
    co_await m_model.refreshUserAndAlbums();
    co_return true;
}

QCoro::Task<bool> PlaylistEditor::toggleFavorite(Medium photo)
{
    if (!m_model.favoriteUUIDs().contains(photo.uuid))
        co_return co_await addFavorite(std::move(photo));
    const std::optional<Album> favorites = m_model.favoritesAlbum();
    Album album;
    album.title = favorites ? favorites->title : u"Favorites"_s;
    album.titleFragment = favoritesFragment;
    co_return co_await removeFromPlaylist(std::move(photo), std::move(album));
}

QCoro::Task<bool> PlaylistEditor::setAsWallpaper(Medium photo, std::optional<Album> playlist,
                                                 std::optional<QList<DisplayInfo>> displays)
{
    // No display chosen is the user backing out, not a wish for every display.
    if ((displays && displays->isEmpty()) || !m_model.account().isSignedIn())
        co_return false;
    const ModelSession session = this->session();
    if (!playlist) {
        std::optional<Album> wallpaper;
        for (const Album& album : m_model.account().albums()) {
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

QCoro::Task<bool> PlaylistEditor::sendChange(QCoro::Task<void> request)
{
    const ModelSession session = this->session();
    try {
        co_await request;
    } catch (const std::exception& error) {
        if (session.isCurrent())
            m_model.handleActionError(error);
        co_return false;
    }
    // An answer for a session that ended changes nothing in the next one.
    co_return session.isCurrent();
}

void PlaylistEditor::insertFavorite(const QString& uuid)
{
    if (m_model.favoriteUUIDs().contains(uuid))
        return;
    QSet<QString> uuids = m_model.favoriteUUIDs();
    uuids.insert(uuid);
    m_model.setFavoriteUUIDs(std::move(uuids));
}

void PlaylistEditor::eraseFavorite(const QString& uuid)
{
    QSet<QString> uuids = m_model.favoriteUUIDs();
    uuids.remove(uuid);
    m_model.setFavoriteUUIDs(std::move(uuids));
}

bool PlaylistEditor::isProductFolder(const QString& folder)
{
    // The resolved path too: a link elsewhere may lead into the photo directory.
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return folder.toLower().contains(productWord) || resolved.toLower().contains(productWord);
}

QString PlaylistEditor::productFolderMessage()
{
    return tr("The folder's path can't contain “Lumivale”.");
}

QCoro::Task<void> PlaylistEditor::linkFolder(Album album)
{
    if (!m_model.account().isSignedIn())
        co_return;
    const ModelSession session = this->session();
    const std::optional<QString> chosen =
        co_await LocalPhotos::chooseFolder(m_pickers, tr("Choose the folder for “%1”.").arg(album.title));
    if (!chosen || !session.isSignedIn())
        co_return;
    const QString folder = QDir::cleanPath(*chosen);
    if (isProductFolder(folder)) {
        m_model.setAlert(productFolderMessage());
        co_return;
    }
    try {
        co_await m_api.updateAlbum(album, album.title, folder);
    } catch (const std::exception& error) {
        if (session.isCurrent()) {
            LocalPhotos::unlinkFolder(m_defaults, album.id);
            m_model.handleActionError(error);
        }
        co_return;
    }
    if (!session.isCurrent())
        co_return;
    // Only the computer that linked a folder takes the playlist's photos from it.
    LocalPhotos::recordLink(m_defaults, album.id, folder);
    co_await m_model.reloadAlbums(true);
    if (session.isCurrent())
        m_sync.requestSync(0ms, true);
}

QCoro::Task<void> PlaylistEditor::unlinkFolder(Album album)
{
    const ModelSession session = this->session();
    const bool accepted = co_await sendChange(m_api.updateAlbum(album, album.title, QString()));
    if (!accepted)
        co_return;
    LocalPhotos::unlinkFolder(m_defaults, album.id);
    co_await m_model.reloadAlbums(true);
    if (session.isCurrent())
        m_sync.requestSync(0ms, true);
}

QCoro::Task<void> PlaylistEditor::importFolders()
{
    if (!m_model.account().isSignedIn())
        co_return;
    const ModelSession session = this->session();
    const std::optional<QString> chosen = co_await LocalPhotos::chooseFolder(
        m_pickers, tr("Each folder inside the one you choose becomes a playlist linked to it."));
    if (!chosen || !session.isSignedIn())
        co_return;
    const QString parent = QDir::cleanPath(*chosen);
    if (isProductFolder(parent)) {
        m_model.setAlert(productFolderMessage());
        co_return;
    }

    // Real folders only: a link could lead anywhere, the photo directory included. A folder that
    // can't be listed has no subfolders.
    QFileInfoList folders = QDir(parent).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    // The order the file manager shows them in: numbers by value, case ignored.
    std::stable_sort(folders.begin(), folders.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return LocalPhotos::compareNames(a.fileName(), b.fileName()) < 0;
    });

    int imported = 0;
    for (const QFileInfo& folder : std::as_const(folders)) {
        const QString name = filterPlaylistName(folder.fileName()).trimmed();
        if (name.isEmpty())
            continue;
        const QString path = QDir::cleanPath(folder.absoluteFilePath());
        if (isProductFolder(path)) {
            m_log.error(u"import "_s + name + u": "_s + productFolderMessage());
            continue;
        }
        const bool linked = co_await importFolder(path, name);
        if (linked)
            ++imported;
        if (!session.isSignedIn())
            co_return;
    }

    co_await m_model.reloadAlbums(true);
    if (!session.isCurrent())
        co_return;
    m_sync.requestSync(0ms, true);
    m_guidance.showNotice(imported == 1 ? tr("Imported 1 playlist")
                                        : tr("Imported %1 playlists").arg(imported));
}

QCoro::Task<bool> PlaylistEditor::importFolder(QString folder, QString name)
{
    const ModelSession session = this->session();
    try {
        const Album created = co_await m_api.createAlbum(name, folder);
        if (!session.isCurrent())
            co_return false;
        LocalPhotos::recordLink(m_defaults, created.id, folder);
        if (created.localPath == folder)
            co_return true;
        co_await m_api.updateAlbum(created, created.title, folder);
        co_return session.isCurrent();
    } catch (const APIError& error) {
        if (!session.isCurrent())
            co_return false;
        // A rejected token fails every folder after it too: sign out instead.
        if (error.kind() == APIError::Kind::Unauthorized) {
            m_model.handleError(error, true);
            co_return false;
        }
        m_log.error(u"import "_s + name + u": "_s + error.userMessage());
    } catch (const std::exception& error) {
        m_log.error(u"import "_s + name + u": "_s + QString::fromLocal8Bit(error.what()));
    }
    co_return false;
}

QCoro::Task<void> PlaylistEditor::addLocalPhotos(Album album)
{
    if (!m_model.account().isSignedIn())
        co_return;
    const ModelSession session = this->session();
    const QStringList files = co_await LocalPhotos::choosePhotos(m_pickers);
    if (files.isEmpty() || !session.isSignedIn())
        co_return;
    const std::optional<QString> folder = m_sync.albumFolder(album);
    if (!folder)
        co_return;
    const int copied = LocalPhotos::importPhotos(files, *folder);
    m_sync.requestSync(0ms, true);
    m_guidance.showNotice(copied == 1 ? tr("Added 1 photo") : tr("Added %1 photos").arg(copied));
}

bool PlaylistEditor::removeLocalPhoto(const Medium& photo)
{
    return trashLocalPhoto(photo, m_sync.playlistRoot());
}

bool PlaylistEditor::trashLocalPhoto(const Medium& photo, const QString& folder)
{
    if (!photo.localPath || folder.isEmpty())
        return false;
    // The path may come from the server or a drag: only a real photo file that resolves inside
    // the folder may go.
    if (const std::optional<QString> failure =
            PhotoTrash::trashPlaylistPhoto(m_trash, folder, *photo.localPath)) {
        m_log.error(u"remove local photo: "_s + *failure);
        return false;
    }
    m_sync.requestSync(0ms, true);
    return true;
}

QCoro::Task<std::optional<Album>> PlaylistEditor::createPlaylist(QString name)
{
    if (const std::optional<QString> refusal = newNameRefusal(name)) {
        m_model.setAlert(*refusal);
        co_return std::nullopt;
    }
    const QString trimmed = Blanks::trimmed(name);
    const ModelSession session = this->session();
    std::optional<Album> created;
    try {
        created = co_await m_api.createAlbum(trimmed, QString());
    } catch (const std::exception& error) {
        if (session.isCurrent())
            m_model.handleActionError(error);
    }
    if (!created || !session.isCurrent())
        co_return std::nullopt;
    co_await m_model.reloadAlbums(true);
    if (!session.isCurrent())
        co_return std::nullopt;
    for (const Album& album : m_model.account().albums()) {
        if (album.id == created->id)
            co_return album;
    }
    co_return std::nullopt;
}

QCoro::Task<void> PlaylistEditor::renamePlaylist(Album album, QString newName)
{
    if (const std::optional<QString> refusal = renameRefusal(album, newName)) {
        m_model.setAlert(*refusal);
        co_return;
    }
    const QString trimmed = Blanks::trimmed(newName);
    if (trimmed == album.title || trimmed.isEmpty())
        co_return;
    const ModelSession session = this->session();
    bool renamed = false;
    try {
        co_await m_api.updateAlbum(album, trimmed, std::nullopt);
        renamed = true;
    } catch (const std::exception& error) {
        if (session.isCurrent())
            m_model.handleActionError(error);
    }
    if (renamed && session.isCurrent())
        co_await m_model.reloadAlbums(true);
}

QCoro::Task<void> PlaylistEditor::deletePlaylist(Album album)
{
    const bool accepted = co_await sendChange(m_api.deleteAlbum(album));
    if (!accepted)
        co_return;
    LocalPhotos::unlinkFolder(m_defaults, album.id);
    co_await m_model.reloadAlbums(true);
}

QString PlaylistEditor::filterPlaylistName(QStringView name)
{
    QString kept;
    for (const QChar c : name) {
        if (isPlaylistNameCharacter(c))
            kept.append(c);
    }
    return kept;
}

QString PlaylistEditor::playlistNameMessage()
{
    return tr("Playlist names can use letters, numbers, spaces, - and '.");
}

std::optional<QString> PlaylistEditor::newNameRefusal(const QString& name)
{
    if (isAcceptedPlaylistName(Blanks::trimmed(name)))
        return std::nullopt;
    return playlistNameMessage();
}

std::optional<QString> PlaylistEditor::renameRefusal(const Album& album, const QString& newName)
{
    const QString trimmed = Blanks::trimmed(newName);
    if (trimmed == album.title || Blanks::trimmed(filterPlaylistName(trimmed)) == trimmed)
        return std::nullopt;
    return playlistNameMessage();
}

} // namespace lumi
