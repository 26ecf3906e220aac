#include "library/PlaylistSync.h"

#include "library/DataDirectory.h"
#include "library/LibraryFiles.h"
#include "library/LocalPhotos.h"
#include "library/PhotoDownloader.h"
#include "library/PhotoFileNames.h"
#include "library/PhotoFolder.h"
#include "library/PlaylistFolders.h"
#include "library/PlaylistMediaFetcher.h"
#include "library/StoredListings.h"
#include "library/SyncPass.h"
#include "library/SyncState.h"
#include "library/SyncedTitles.h"
#include "model/APIClient.h"
#include "model/Album.h"
#include "model/Clock.h"
#include "model/CrashReport.h"
#include "model/ProblemSink.h"
#include "platform/Screens.h"

#include <QCoroFuture>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

Medium localMedium(const QString& file)
{
    const QFileInfo info(file);
    Medium photo;
    photo.uuid = u"local-"_s + info.fileName();
    photo.title = info.completeBaseName();
    photo.localPath = file;
    return photo;
}

} // namespace

PlaylistSync::PlaylistSync(Services services, QObject* parent)
    : QObject(parent), m_account(services.account), m_defaults(services.defaults), m_api(services.api),
      m_screens(services.screens), m_clock(services.clock), m_reporter(services.reporter), m_log(u"sync"_s),
      m_layout(LibraryLayout::at(DataDirectory::current(services.defaults))),
      m_titlesFile(SyncedTitles::defaultFile()), m_listingsFile(StoredListings::defaultFile()),
      m_downloader(
          std::make_shared<PhotoDownloader>(services.api.network(), services.clock, services.reporter)),
      m_fetcher(std::make_shared<PlaylistMediaFetcher>(services.api, services.clock))
{
    // A folder that can't be made stays missing: its index and listings are empty.
    for (const QString& folder : {m_layout.playlistRoot, m_layout.paperDir, m_layout.saverDir})
        QDir().mkpath(folder);
    // What a run that ended in mid-write left behind; the iterator does not follow links out.
    LibraryFiles::removeLeftovers(m_layout.paperDir);
    LibraryFiles::removeLeftovers(m_layout.saverDir);
    QDirIterator folders(m_layout.playlistRoot, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (folders.hasNext())
        LibraryFiles::removeLeftovers(folders.next());
    rebuildIndexes();
}

PlaylistSync::~PlaylistSync()
{
    // The tasks hold this object weakly; their transfers and sleeps end now, and nothing they do
    // on the way out counts as current.
    ++m_generation;
    if (m_pending)
        m_pending->cancel();
    if (m_running)
        m_running->cancel.cancel();
}

// --- Requests -----------------------------------------------------------------------------------

void PlaylistSync::requestSync(std::chrono::milliseconds delay, bool force)
{
    if (m_paused)
        return;
    if (m_pending) {
        m_pending->cancel();
        m_pending.reset();
    }
    if (force)
        m_force = true;
    if (delay <= 0ms) {
        startRun();
        return;
    }
    const CancelToken token;
    m_pending = token;
    // Ends by itself: a newer request or a cancel stops its sleep.
    waitThenRun(delay, token);
}

QCoro::Task<void> PlaylistSync::waitThenRun(std::chrono::milliseconds delay, CancelToken token)
{
    const QPointer<PlaylistSync> self(this);
    const bool elapsed = co_await m_clock.sleep(delay, token);
    if (!self || !elapsed || token.isCancelled())
        co_return;
    m_pending.reset();
    startRun();
}

void PlaylistSync::startRun()
{
    if (m_paused)
        return;
    m_requested = true;
    if (m_running)
        return;
    const Loop loop{CancelToken(), ++m_generation};
    m_running = loop;
    // Ends in one place: runLoop reports its own failure.
    runLoop(loop.cancel, loop.generation);
}

QCoro::Task<void> PlaylistSync::runLoop(CancelToken cancel, quint64 generation)
{
    const QPointer<PlaylistSync> self(this);
    // A cancelled pass may still be finishing a transfer or a render; it keeps the disk until then.
    while (self && m_activeLoop && !cancel.isCancelled())
        co_await CancelToken::untilCancelled(*m_activeLoop);
    if (!self || cancel.isCancelled())
        co_return;

    const CancelToken ended;
    m_activeLoop = ended;
    try {
        while (self && m_requested && !cancel.isCancelled()) {
            m_requested = false;
            co_await runSync(cancel, generation);
        }
    } catch (const std::exception& error) {
        if (self)
            reportFailure(QString::fromUtf8(error.what()));
    } catch (...) {
        if (self)
            reportFailure(u"unknown exception"_s);
    }
    if (self) {
        if (m_activeLoop && m_activeLoop->signal() == ended.signal())
            m_activeLoop.reset();
        if (m_running && m_running->generation == generation)
            m_running.reset();
        setSyncing(false, generation);
    }
    ended.cancel();
}

QCoro::Task<void> PlaylistSync::runSync(CancelToken cancel, quint64 generation)
{
    const QPointer<PlaylistSync> self(this);
    SyncPass pass(*this, std::move(cancel), generation);
    co_await pass.run();
    if (self && pass.foundUnchanged() && !m_listingsKnown) {
        m_listingsKnown = true;
        co_await restoreListings(pass.state());
    }
}

QCoro::Task<void> PlaylistSync::restoreListings(QString state)
{
    const QPointer<PlaylistSync> self(this);
    QFuture<std::variant<StoredListings::Stored, QString>> reading =
        QtConcurrent::run([file = m_listingsFile] { return StoredListings::read(file); });
    std::variant<StoredListings::Stored, QString> read = co_await reading;
    if (!self)
        co_return;
    if (const QString* failure = std::get_if<QString>(&read)) {
        m_log.info(u"stored listings unusable (%1): the pool is listed from the service"_s.arg(*failure));
        co_return;
    }
    const StoredListings::Stored& stored = std::get<StoredListings::Stored>(read);
    if (stored.state != state) {
        m_log.info(u"stored listings are of another pass: the pool is listed from the service"_s);
        co_return;
    }
    emit listingsRestored(stored.listings, stored.listedAt);
}

void PlaylistSync::cancelSync()
{
    if (m_pending) {
        m_pending->cancel();
        m_pending.reset();
    }
    ++m_generation;
    m_requested = false;
    if (m_running) {
        const CancelToken cancel = m_running->cancel;
        m_running.reset();
        cancel.cancel();
    }
    setSyncing(false, m_generation);
}

QCoro::Task<void> PlaylistSync::pauseSync()
{
    const QPointer<PlaylistSync> self(this);
    m_paused = true;
    cancelSync();
    while (self && m_activeLoop)
        co_await CancelToken::untilCancelled(*m_activeLoop);
}

void PlaylistSync::resumeSync()
{
    m_paused = false;
}

void PlaylistSync::reportFailure(const QString& what)
{
    const QString message = u"sync pass failed: "_s + what;
    m_log.error(message);
    m_reporter.report(CrashReport::problem(u"sync"_s, message, QString(), m_clock.now()));
}

void PlaylistSync::setSyncing(bool syncing, quint64 generation)
{
    if (!isCurrent(generation) || m_isSyncing == syncing)
        return;
    m_isSyncing = syncing;
    emit isSyncingChanged();
}

void PlaylistSync::setDone(int done, quint64 generation)
{
    if (!isCurrent(generation) || m_done == done)
        return;
    m_done = done;
    emit doneChanged();
}

void PlaylistSync::setTotal(int total, quint64 generation)
{
    if (!isCurrent(generation) || m_total == total)
        return;
    m_total = total;
    emit totalChanged();
}

void PlaylistSync::rebuildIndexes()
{
    m_paperIndex = PhotoFolder::indexFolder(m_layout.paperDir);
    m_saverIndex = PhotoFolder::indexFolder(m_layout.saverDir);
}

void PlaylistSync::indexPlaced(const QString& folder, const QString& file)
{
    const std::optional<QString> id = PhotoFolder::shortIdOf(file);
    if (!id)
        return;
    if (folder == m_layout.paperDir)
        m_paperIndex.insert(*id, file);
    else if (folder == m_layout.saverDir)
        m_saverIndex.insert(*id, file);
}

// --- Lookups ------------------------------------------------------------------------------------

QHash<QString, QString> PlaylistSync::syncedTitles() const
{
    return SyncedTitles::read(m_titlesFile);
}

std::optional<QString> PlaylistSync::localFile(const Medium& photo) const
{
    const QString key = photo.uuid.left(8).toLower();
    if (const auto found = m_saverIndex.constFind(key); found != m_saverIndex.cend())
        return *found;
    if (const auto found = m_paperIndex.constFind(key); found != m_paperIndex.cend())
        return *found;
    return std::nullopt;
}

bool PlaylistSync::isOwnFile(const QString& path) const
{
    return LocalPhotos::isOwnFile(path, m_layout.base, m_defaults);
}

std::optional<QString> PlaylistSync::albumFolder(const Album& album) const
{
    return SyncState::albumFolder(album, m_layout.playlistRoot, m_defaults);
}

QList<Medium> PlaylistSync::albumMedia(const Album& album) const
{
    QList<Medium> media;
    const std::optional<QString> folder = albumFolder(album);
    if (!folder)
        return media;
    for (const QString& file : LocalPhotos::photoFiles(*folder)) {
        Medium photo = localMedium(file);
        photo.localThumb =
            PlaylistFolders::previewFile(m_layout.imagesDir, album.title, QFileInfo(file).fileName());
        media.append(std::move(photo));
    }
    return media;
}

QList<Medium> PlaylistSync::folderPhotos(const QString& folder) const
{
    QList<Medium> media;
    for (const QString& file : PhotoFolder::listPhotoFiles(folder)) {
        // Catalog photos are reached through the indexes.
        if (!PhotoFileNames::isAppFileName(QFileInfo(file).fileName()))
            media.append(localMedium(file));
    }
    return media;
}

QList<Medium> PlaylistSync::syncedSaverPhotos() const
{
    return PhotoFolder::indexedPhotos(m_saverIndex, syncedTitles()) + saverFolderPhotos();
}

// --- Format, state and listing ------------------------------------------------------------------

MediaFormat PlaylistSync::targetFormat() const
{
    return SyncState::targetFormat(m_screens.displays());
}

std::optional<MediaFormat> PlaylistSync::storedFormat() const
{
    return SyncState::storedFormat(m_defaults);
}

QString PlaylistSync::syncState(const QList<Album>& albums, const User& user, const MediaFormat& format)
{
    return SyncState::syncState(albums, user, format);
}

QString PlaylistSync::localPhotoState(const QList<Album>& marked) const
{
    return SyncState::localPhotoState(marked, m_layout.playlistRoot, m_defaults);
}

QCoro::Task<QList<Medium>> PlaylistSync::fetchMediaPages(Album album, CancelToken cancel)
{
    const std::shared_ptr<PlaylistMediaFetcher> fetcher = m_fetcher;
    co_return co_await fetcher->fetchMediaPages(std::move(album), std::move(cancel));
}

QCoro::Task<std::optional<QList<Medium>>> PlaylistSync::fetchPlaylistMedia(Album album, CancelToken cancel)
{
    const std::shared_ptr<PlaylistMediaFetcher> fetcher = m_fetcher;
    co_return co_await fetcher->fetchPlaylistMedia(std::move(album), std::move(cancel));
}

} // namespace lumi
