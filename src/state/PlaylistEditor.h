#pragma once

#include "model/Album.h"
#include "model/AppLog.h"
#include "model/Medium.h"
#include "platform/DisplayInfo.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace lumi {

class APIClient;
class AppModel;
class Defaults;
class EventSink;
class Guidance;
class ModelSession;
class Pickers;
class SyncScheduler;
class Trash;
class WallpaperRotation;

/// The user's edits of playlists: creating and renaming them, their memberships, the photos in
/// them and in the favorites, and the folders linked to them. Failures go to the model's error
/// sink; whatever an ended session receives is dropped. Main thread only.
class PlaylistEditor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistEditor)

public:
    /// Made by the composition root (or a test), each alive for longer than the editor.
    struct Services
    {
        AppModel& model;
        /// Where the counts of imports and copies are shown.
        Guidance& guidance;
        APIClient& api;
        Defaults& defaults;
        SyncScheduler& sync;
        WallpaperRotation& rotation;
        EventSink& events;
        Pickers& pickers;
        Trash& trash;
    };

    explicit PlaylistEditor(Services services, QObject* parent = nullptr);
    ~PlaylistEditor() override;

    // --- Playlists --------------------------------------------------------------------------------
    QCoro::Task<std::optional<Album>> createPlaylist(QString name);
    QCoro::Task<void> renamePlaylist(Album album, QString newName);
    /// Deletes the playlist on the service, then forgets its linked folder and reloads the
    /// playlists; a failure goes to the error sink and the playlist stays.
    QCoro::Task<void> deletePlaylist(Album album);
    /// The characters a playlist name may hold, in order.
    static QString filterPlaylistName(QStringView name);
    static QString playlistNameMessage();
    /// The name-rule message when createPlaylist refuses the name (blank, or a character outside
    /// the rule) without asking the service; none when it sends it. The naming sheet asks first.
    static std::optional<QString> newNameRefusal(const QString& name);
    /// The same for renamePlaylist, for which a blank name or the title itself does nothing.
    static std::optional<QString> renameRefusal(const Album& album, const QString& newName);

    // --- Playlist inclusion and membership, favorites, set as wallpaper -------------------------
    QCoro::Task<void> setIncludeInPaper(Album album, bool included);
    QCoro::Task<void> setIncludeInSaver(Album album, bool included);
    QCoro::Task<bool> addToPlaylist(Medium photo, Album album);
    /// One request at a time in the given order; local photos are skipped, and the first failure
    /// ends the batch. Returns how many were added.
    QCoro::Task<int> addPhotosToPlaylist(QList<Medium> photos, Album album);
    QCoro::Task<bool> removeFromPlaylist(Medium photo, Album album);
    /// Catalog photos leave the playlist; local photos of an unlinked playlist go to the trash.
    /// Returns the photos removed, in the given order.
    QCoro::Task<QList<Medium>> removePhotos(QList<Medium> photos, Album album);
    QCoro::Task<bool> addFavorite(Medium photo);
    QCoro::Task<bool> toggleFavorite(Medium photo);
    /// Without a playlist the photo is first added to the "wallpaper" playlist (made when
    /// missing). No displays means every display; an empty list is a cancel.
    QCoro::Task<bool> setAsWallpaper(Medium photo, std::optional<Album> playlist,
                                     std::optional<QList<DisplayInfo>> displays);

    // --- Linked folders and local photos -------------------------------------------------------
    QCoro::Task<void> linkFolder(Album album);
    QCoro::Task<void> unlinkFolder(Album album);
    /// Each subfolder of a chosen folder becomes a playlist linked to it.
    QCoro::Task<void> importFolders();
    /// Copies chosen photo files into the playlist's folder.
    QCoro::Task<void> addLocalPhotos(Album album);
    /// Moves a photo file of the playlist folders to the trash; anything else is refused.
    bool removeLocalPhoto(const Medium& photo);
    /// Folders whose path holds the product word are the app's own and never linked.
    static bool isProductFolder(const QString& folder);
    static QString productFolderMessage();

private:
    ModelSession session() const;
    QCoro::Task<void> setIncluded(Album album, QString type, bool included);
    /// Awaits a change sent to the server; a failure goes to the error sink. True when it was
    /// accepted and the session that sent it is still current.
    QCoro::Task<bool> sendChange(QCoro::Task<void> request);
    void insertFavorite(const QString& uuid);
    void eraseFavorite(const QString& uuid);
    /// Trashes the photo file when it is a real photo file inside folder (resolved).
    bool trashLocalPhoto(const Medium& photo, const QString& folder);
    QCoro::Task<bool> importFolder(QString folder, QString name);

    AppModel& m_model;
    Guidance& m_guidance;
    APIClient& m_api;
    Defaults& m_defaults;
    SyncScheduler& m_sync;
    WallpaperRotation& m_rotation;
    EventSink& m_events;
    Pickers& m_pickers;
    Trash& m_trash;
    AppLog m_log{QStringLiteral("app")};
};

} // namespace lumi
