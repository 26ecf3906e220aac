#pragma once

#include "library/LibraryLayout.h"
#include "library/LinkedDownloads.h"
#include "library/LocalOutputNames.h"
#include "model/Album.h"
#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"
#include "model/User.h"

#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

namespace lumi {

class Defaults;
struct FileIdentity;
class PhotoDownloader;
class PlaylistMediaFetcher;
class PlaylistSync;

/// One sync pass: decides from the state text whether anything changed, lists the marked
/// playlists, downloads what is missing one photo at a time, links the photos into the wallpaper
/// and saver folders, renders the user's own photos there, prunes what the sync made earlier and
/// no longer needs, and stores the new state. "sync-dirty" is set before any work and cleared only
/// by a complete pass, so a pass that stops early or whose download failed makes the next one run
/// in full. A photo the service lacks and a playlist that can't be synced are no such failure:
/// they wait for the playlists to change. A skipped playlist keeps its folder and its photos in
/// the pools.
///
/// The pass notices cancellation before each photo and after every wait; a cancelled pass stops
/// there and leaves the rest to the next one.
class SyncPass final
{
public:
    SyncPass(PlaylistSync& sync, CancelToken cancel, quint64 generation);
    ~SyncPass();
    SyncPass(const SyncPass&) = delete;
    SyncPass& operator=(const SyncPass&) = delete;

    QCoro::Task<void> run();
    /// The skip test found everything as the last complete pass left it.
    bool foundUnchanged() const { return m_unchanged; }
    /// The state text the pass computed; empty when it did not get that far.
    const QString& state() const { return m_state; }

private:
    /// A marked playlist whose photos were listed.
    struct Listed
    {
        Album album;
        QString folder;
        bool linked = false;
        QList<Medium> photos;
    };

    bool isStopped() const;
    bool mayStart();
    void start();
    QCoro::Task<bool> listPlaylists();
    void countPhotos();
    QCoro::Task<bool> syncPlaylist(qsizetype index);
    void placeInPool(const QString& file, const QString& folder, const std::optional<FileIdentity>& identity);
    void cleanFolder(Listed& listed, const QSet<QString>& kept, const QSet<QString>& downloaded);
    QCoro::Task<bool> renderLocalPhotos(qsizetype index, QSet<QString> kept);
    /// The skipped playlists, each also under the title it had at the last pass.
    QList<Album> sparedAlbums() const;
    /// Keeps the pool files of the spared playlists' folders and their renders' names.
    void spareSkippedPhotos(const QList<Album>& spared, QHash<QString, QString>& outputs);
    /// The titles of the photos now in the pool folders, for when the service can't be asked.
    void storeTitles();
    /// Writes the listings beside the sync state and offers them to the pools.
    void storeListings();
    void finish();
    void advance();

    QPointer<PlaylistSync> m_sync;
    CancelToken m_cancel;
    quint64 m_generation;
    Defaults& m_defaults;
    AppLog m_log;
    LibraryLayout m_layout;
    std::shared_ptr<PhotoDownloader> m_downloader;
    std::shared_ptr<PlaylistMediaFetcher> m_fetcher;

    User m_user;
    QList<Album> m_albums;
    QList<Album> m_selected;
    MediaFormat m_target;
    std::optional<MediaFormat> m_stored;
    MediaFormat m_format;
    QString m_state;
    QString m_look;
    QList<Listed> m_listed;
    /// Marked playlists the pass could not list: a title that names no folder, or an address
    /// that can't form a request.
    QList<Album> m_skipped;
    LinkedDownloads::Record m_record;
    LocalOutputNames m_outputs;
    QSet<QString> m_paperNames;
    QSet<QString> m_saverNames;
    int m_total = 0;
    int m_done = 0;
    int m_downloaded = 0;
    int m_failed = 0;
    /// Photos the service does not have (403, 404, no address): not worth asking again.
    int m_missing = 0;
    bool m_unchanged = false;
};

} // namespace lumi
