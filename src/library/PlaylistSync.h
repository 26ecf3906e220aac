#pragma once

#include "library/LibraryLayout.h"
#include "library/LinkedDownloads.h"
#include "library/RotationLibrary.h"
#include "library/SyncPause.h"
#include "library/SyncScheduler.h"
#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

namespace lumi {

class APIClient;
class Account;
class Clock;
class ProblemSink;
class Defaults;
class PhotoDownloader;
class PlaylistMediaFetcher;
class Screens;
struct Album;
struct User;

/// The one owner of the photo directory's playlist folders and of the wallpaper and saver folders.
/// It serialises sync passes (debounced requests, at most one pass at a time, exactly one more pass
/// for any number of requests made during one), answers where the files of photos and playlists
/// are, and runs the library's maintenance. The pass itself is `SyncPass`. Main thread only.
///
/// Every loop of passes has a generation; cancelling or starting a loop makes a new one current,
/// and only the current loop writes the progress properties. A new loop waits until a cancelled
/// pass has ended before its own pass touches the disk.
class PlaylistSync final : public QObject, public SyncScheduler, public RotationLibrary, public SyncPause
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlaylistSync)

public:
    /// Long-lived services made by the composition root before the sync, kept until after it.
    struct Services
    {
        /// Passes run only while it is signed in with its album list loaded this session.
        const Account& account;
        Defaults& defaults;
        APIClient& api;
        Screens& screens;
        Clock& clock;
        ProblemSink& reporter;
    };

    /// Reads the photo directory once, creates the playlist root and the two pool folders, and
    /// indexes the pool folders.
    explicit PlaylistSync(Services services, QObject* parent = nullptr);
    ~PlaylistSync() override;

    // --- Progress -------------------------------------------------------------------------------
    bool isSyncing() const { return m_isSyncing; }
    /// Photos handled so far in the running pass; keeps its last value after the pass.
    int done() const { return m_done; }
    /// Photos of the running pass.
    int total() const { return m_total; }
    /// No request waits for its delay and no loop of passes runs.
    bool isIdle() const { return !m_pending && !m_running && !m_activeLoop; }

    // --- Folders and indexes --------------------------------------------------------------------
    const LibraryLayout& layout() const { return m_layout; }
    QString playlistRoot() const override { return m_layout.playlistRoot; }
    const QString& paperDir() const override { return m_layout.paperDir; }
    const QString& saverDir() const { return m_layout.saverDir; }
    const QString& imagesDir() const { return m_layout.imagesDir; }
    /// Short photo id to its file in the wallpaper folder: read at start and after every pass and
    /// maintenance step, and extended as a pass places photos.
    const QHash<QString, QString>& paperIndex() const override { return m_paperIndex; }
    /// Short photo id to its file in the saver folder, kept like paperIndex.
    const QHash<QString, QString>& saverIndex() const override { return m_saverIndex; }

    // --- Requests -------------------------------------------------------------------------------
    /// Replaces the request still waiting; force is sticky until a pass goes to work. With a delay
    /// of zero or less the loop starts at once.
    void requestSync(std::chrono::milliseconds delay, bool force) override;
    /// Drops the waiting request and the requested pass, stops the running pass at its next check
    /// (aborting its transfer) and clears isSyncing; done, total and force stay.
    void cancelSync() override;
    QCoro::Task<void> pauseSync() override;
    void resumeSync() override;

    // --- Lookups --------------------------------------------------------------------------------
    /// The synced file of a catalog photo: the saver folder's, else the wallpaper folder's.
    std::optional<QString> localFile(const Medium& photo) const;
    /// The path lies in the photo directory or a folder linked on this computer.
    bool isOwnFile(const QString& path) const;
    /// The playlist's linked folder when it exists, else its folder below the playlist root
    /// (which need not exist); none when the title names no folder there.
    std::optional<QString> albumFolder(const Album& album) const override;
    /// The user's own photos of the playlist's folder as local media, with their preview paths.
    QList<Medium> albumMedia(const Album& album) const override;
    /// The photos of a pool folder that the sync did not download, as local media.
    QList<Medium> folderPhotos(const QString& folder) const override;
    QList<Medium> saverFolderPhotos() const override { return folderPhotos(m_layout.saverDir); }
    QList<Medium> syncedSaverPhotos() const override;
    QHash<QString, QString> syncedTitles() const override;

    // --- Format and state -----------------------------------------------------------------------
    /// The format for the largest display now.
    MediaFormat targetFormat() const override;
    /// The format of the last pass that went to work; none when unknown.
    std::optional<MediaFormat> storedFormat() const override;
    static QString syncState(const QList<Album>& albums, const User& user, const MediaFormat& format);
    QString localPhotoState(const QList<Album>& marked) const;

    // --- Listing --------------------------------------------------------------------------------
    /// One listing of the playlist; throws APIError.
    QCoro::Task<QList<Medium>> fetchMediaPages(Album album, CancelToken cancel = {});
    /// The listing with retries after 1, 2 and 4 s; none when they all failed or on cancellation.
    QCoro::Task<std::optional<QList<Medium>>> fetchPlaylistMedia(Album album, CancelToken cancel = {});

    // --- Maintenance (each deletes before it returns, then forces a pass) -----------------------
    /// Deletes every downloaded photo so the next pass fetches them at the current display size.
    void resizePhotos();
    /// Empties the wallpaper and saver folders and the wallpaper's downloaded variants; the forced
    /// pass links the playlists' photos again without downloading them.
    void clearFiles();
    /// Deletes the sync's photo files of one playlist's folder; in a linked folder only the ones
    /// recorded as the sync's downloads.
    void removeLinkedDownloads(const Album& album);

signals:
    void isSyncingChanged();
    void doneChanged();
    void totalChanged();
    /// A pass or a maintenance step changed what the wallpaper and saver folders hold, so the
    /// photo pools built from them are stale.
    void poolFoldersChanged();
    /// A pass left nothing to try again; these are its listings (a skipped playlist is not among
    /// them), so the pools need not ask the service again. Follows the pass's poolFoldersChanged.
    void passCompleted(const lumi::PlaylistListings& listings, const QDateTime& listedAt);
    /// The first pass of this run found nothing changed since the last complete one: that pass's
    /// listings, read back from disk, stand for the service's.
    void listingsRestored(const lumi::PlaylistListings& listings, const QDateTime& listedAt);

private:
    friend class SyncPass;

    struct Loop
    {
        CancelToken cancel;
        quint64 generation = 0;
    };

    QCoro::Task<void> waitThenRun(std::chrono::milliseconds delay, CancelToken token);
    void startRun();
    QCoro::Task<void> runLoop(CancelToken cancel, quint64 generation);
    QCoro::Task<void> runSync(CancelToken cancel, quint64 generation);
    /// Reads the stored listings off the main thread and offers them when they are the last
    /// pass's; a missing or unreadable file is one log line, and the pools then ask the service.
    QCoro::Task<void> restoreListings(QString state);
    void reportFailure(const QString& what);
    void rebuildIndexes();
    /// Adds a file a pass has just placed in a pool folder to that folder's index.
    void indexPlaced(const QString& folder, const QString& file);
    void removeDownloads(const Album& album, const LinkedDownloads::Record& record);
    bool isCurrent(quint64 generation) const { return generation == m_generation; }
    void setSyncing(bool syncing, quint64 generation);
    void setDone(int done, quint64 generation);
    void setTotal(int total, quint64 generation);

    const Account& m_account;
    Defaults& m_defaults;
    APIClient& m_api;
    Screens& m_screens;
    Clock& m_clock;
    ProblemSink& m_reporter;
    AppLog m_log;
    LibraryLayout m_layout;
    const QString m_titlesFile;
    const QString m_listingsFile;
    // Shared with the passes, so a transfer in flight never outlives what it runs in.
    std::shared_ptr<PhotoDownloader> m_downloader;
    std::shared_ptr<PlaylistMediaFetcher> m_fetcher;

    bool m_isSyncing = false;
    int m_done = 0;
    int m_total = 0;
    bool m_requested = false;
    bool m_force = false;
    bool m_paused = false;
    /// The stored listings were offered this run, or a pass made newer ones.
    bool m_listingsKnown = false;
    std::optional<CancelToken> m_pending;
    std::optional<Loop> m_running;
    /// Fires when the loop that last went to work has ended; a newer loop waits for it.
    std::optional<CancelToken> m_activeLoop;
    quint64 m_generation = 0;
    QHash<QString, QString> m_paperIndex;
    QHash<QString, QString> m_saverIndex;
};

} // namespace lumi
