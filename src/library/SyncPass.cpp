#include "library/SyncPass.h"

#include "library/FolderPruner.h"
#include "library/FolderRenamer.h"
#include "library/LocalPhotoRenderer.h"
#include "library/LocalPhotos.h"
#include "library/PhotoDownloader.h"
#include "library/PhotoFileNames.h"
#include "library/PhotoFolder.h"
#include "library/PhotoPlacer.h"
#include "library/PlaylistFolders.h"
#include "library/PlaylistMediaFetcher.h"
#include "library/PlaylistSync.h"
#include "library/StoredListings.h"
#include "library/SyncState.h"
#include "library/SyncedTitles.h"
#include "model/APIError.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

SyncPass::SyncPass(PlaylistSync& sync, CancelToken cancel, quint64 generation)
    : m_sync(&sync), m_cancel(std::move(cancel)), m_generation(generation), m_defaults(sync.m_defaults),
      m_log(sync.m_log), m_layout(sync.m_layout), m_downloader(sync.m_downloader), m_fetcher(sync.m_fetcher)
{
}

SyncPass::~SyncPass() = default;

QCoro::Task<void> SyncPass::run()
{
    if (!mayStart())
        co_return;
    start();
    if (!co_await listPlaylists())
        co_return;
    countPhotos();
    for (qsizetype i = 0; i < m_listed.size(); ++i) {
        if (!co_await syncPlaylist(i))
            co_return;
    }
    finish();
}

bool SyncPass::isStopped() const
{
    return !m_sync || m_cancel.isCancelled() || !m_sync->isCurrent(m_generation);
}

// Who may sync, the formats, the state text and the skip test. Nothing is written here.
bool SyncPass::mayStart()
{
    PlaylistSync& sync = *m_sync;
    const Account& account = sync.m_account;
    // Before the album list has loaded in this session (an offline launch) the pass would see no
    // marked playlist and empty every folder.
    if (!account.isSignedIn() || !account.user() || !account.albumsLoaded())
        return false;
    m_user = *account.user();
    m_albums = account.albums();
    m_selected = SyncState::markedAlbums(m_albums);
    m_target = sync.targetFormat();
    m_stored = sync.storedFormat();
    m_format = SyncState::passFormat(m_target, m_stored);
    m_state = SyncState::stateString(m_albums, m_user, m_format, m_layout.playlistRoot, m_defaults);

    const bool paperMissing = sync.m_paperIndex.isEmpty() &&
                              std::any_of(m_selected.cbegin(), m_selected.cend(), [](const Album& album) {
                                  return album.includeInPaper.value_or(false);
                              });
    const qint64 storedArea = m_stored ? SyncState::area(*m_stored) : 0;
    const bool work = sync.m_force || storedArea < SyncState::area(m_target) ||
                      m_defaults.boolValue(keys::syncDirty).value_or(false) || paperMissing ||
                      m_defaults.stringValue(keys::syncState) != m_state;
    m_unchanged = !work;
    return work;
}

void SyncPass::start()
{
    PlaylistSync& sync = *m_sync;
    sync.m_force = false;
    sync.setSyncing(true, m_generation);
    m_defaults.setValue(keys::syncDirty, true);

    // Read before the size change below, so the older app's downloads are fetched again too.
    m_record =
        LinkedDownloads::merged(LinkedDownloads::read(m_defaults, keys::syncLinkedDownloads),
                                LinkedDownloads::read(m_defaults, keys::electronLinkedDownloads), m_albums);

    const qint64 storedArea = m_stored ? SyncState::area(*m_stored) : 0;
    if (storedArea >= 1 && storedArea < SyncState::area(m_target)) {
        m_log.info(u"display size went up to %1: downloading again"_s.arg(SyncState::formatText(m_target)));
        for (const Album& album : std::as_const(m_selected))
            sync.removeDownloads(album, m_record);
        PhotoFolder::removeAppFiles(m_layout.paperDir);
        PhotoFolder::removeAppFiles(m_layout.saverDir);
    }
    m_defaults.setValue(keys::syncFormat, SyncState::formatText(m_format));
    FolderRenamer::renameFolders(m_layout.playlistRoot, m_albums, m_defaults, m_log);
}

QCoro::Task<bool> SyncPass::listPlaylists()
{
    for (const Album& album : std::as_const(m_selected)) {
        const std::optional<QString> linked = LocalPhotos::linkedFolder(album, m_defaults);
        const std::optional<QString> folder =
            linked ? linked : PlaylistFolders::playlistFolder(m_layout.playlistRoot, album.title);
        if (!folder) {
            m_log.error(u"playlist %1: title can't be a folder name, skipped"_s.arg(album.id));
            m_skipped.append(album);
            continue;
        }
        const std::shared_ptr<PlaylistMediaFetcher> fetcher = m_fetcher;
        std::optional<QList<Medium>> photos;
        try {
            photos = co_await fetcher->fetchPlaylistMedia(album, m_cancel);
        } catch (const APIError& error) {
            if (error.kind() != APIError::Kind::InvalidRequest)
                throw;
            m_log.error(u"playlist %1: its address can't form a request, skipped"_s.arg(album.id));
            m_skipped.append(album);
            continue;
        }
        if (isStopped())
            co_return false;
        if (!photos) {
            m_log.error(u"playlist %1: media list failed, sync stopped (dirty)"_s.arg(album.id));
            m_sync->setSyncing(false, m_generation);
            co_return false;
        }
        m_listed.append(Listed{album, *folder, linked.has_value(), std::move(*photos)});
    }
    co_return true;
}

void SyncPass::countPhotos()
{
    for (const Listed& listed : std::as_const(m_listed))
        m_total += int(listed.photos.size());
    m_sync->setDone(0, m_generation);
    m_sync->setTotal(m_total, m_generation);
    m_log.info(u"syncing %1 playlists, %2 photos at %3"_s.arg(m_listed.size())
                   .arg(m_total)
                   .arg(SyncState::formatText(m_format)));
    m_look = SyncState::localLook(m_format, m_user);
    m_outputs = LocalOutputNames(LocalOutputNames::fromVariant(m_defaults.value(keys::syncLocalSources)));
}

void SyncPass::advance()
{
    ++m_done;
    if (m_sync)
        m_sync->setDone(m_done, m_generation);
}

QCoro::Task<bool> SyncPass::syncPlaylist(qsizetype index)
{
    // m_listed does not change while the photos are handled, so the element stays put.
    Listed& listed = m_listed[index];
    const bool paper = listed.album.includeInPaper.value_or(false);
    const bool saver = listed.album.includeInSaver.value_or(false);
    const bool useCdn = SyncState::usesCdn(m_user);
    // A failure shows in the downloads that follow.
    QDir().mkpath(listed.folder);

    QSet<QString> kept;
    QSet<QString> downloaded;
    for (const Medium& photo : std::as_const(listed.photos)) {
        if (isStopped())
            co_return false;
        // The listing left out photos without a usable name.
        const QString name = PhotoFileNames::photoFileName(photo).value_or(QString());
        kept.insert(name);
        const QString file = listed.folder + u'/' + name;
        FileIdentity present;
        // Read once here: known for the placing, or left to the placing when it needs it.
        std::optional<FileIdentity> identity;
        if (PhotoDownloader::isUsableFile(file, &present)) {
            identity = present;
            advance();
        } else {
            const std::shared_ptr<PhotoDownloader> downloader = m_downloader;
            const PhotoDownloader::Outcome outcome =
                co_await downloader->download(photo, m_format, useCdn, file, m_cancel);
            if (isStopped())
                co_return false;
            if (outcome == PhotoDownloader::Outcome::fetched) {
                downloaded.insert(name);
                ++m_downloaded;
            } else if (outcome == PhotoDownloader::Outcome::missing) {
                ++m_missing;
            } else {
                ++m_failed;
            }
            advance();
            // Only a fetched photo replaced the file, which was not usable before.
            if (outcome != PhotoDownloader::Outcome::fetched)
                continue;
        }
        if (paper) {
            placeInPool(file, m_layout.paperDir, identity);
            m_paperNames.insert(name);
        }
        if (saver) {
            placeInPool(file, m_layout.saverDir, identity);
            m_saverNames.insert(name);
        }
    }
    cleanFolder(listed, kept, downloaded);
    co_return co_await renderLocalPhotos(index, kept);
}

// Indexed at once, so a wallpaper change during the pass finds the photo without reading the folder.
void SyncPass::placeInPool(const QString& file, const QString& folder,
                           const std::optional<FileIdentity>& identity)
{
    if (PhotoPlacer::place(file, folder, identity) != PhotoPlacer::Outcome::failed && m_sync)
        m_sync->indexPlaced(folder, folder + u'/' + QFileInfo(file).fileName());
}

// Deletes the sync's files that the playlist no longer lists; in a linked folder only those the
// record says the sync downloaded, since the user's own files may carry names like the sync's.
void SyncPass::cleanFolder(Listed& listed, const QSet<QString>& kept, const QSet<QString>& downloaded)
{
    const QString id = QString::number(listed.album.id);
    const QStringList entry = m_record.value(id);
    const QSet<QString> recorded(entry.cbegin(), entry.cend());
    PhotoFolder::removePhotoFiles(listed.folder, [&](const QString& name) {
        return PhotoFileNames::isAppFileName(name) && !kept.contains(name) &&
               (!listed.linked || recorded.contains(name));
    });
    if (!listed.linked)
        return;
    QSet<QString> names = downloaded;
    for (const QString& name : entry) {
        if (kept.contains(name))
            names.insert(name);
    }
    QStringList sorted(names.cbegin(), names.cend());
    std::sort(sorted.begin(), sorted.end());
    m_record.insert(id, sorted);
}

QCoro::Task<bool> SyncPass::renderLocalPhotos(qsizetype index, QSet<QString> kept)
{
    const Listed& listed = m_listed[index];
    const bool paper = listed.album.includeInPaper.value_or(false);
    const bool saver = listed.album.includeInSaver.value_or(false);
    const QString outputFolder = paper ? m_layout.paperDir : m_layout.saverDir;
    for (const QString& source : LocalPhotos::photoFiles(listed.folder)) {
        if (isStopped())
            co_return false;
        const QString sourceName = QFileInfo(source).fileName();
        // A catalog photo whose id reads as a date looks like the user's own; it is placed under
        // this very name already, and drawing it would replace its own link.
        if (kept.contains(sourceName))
            continue;
        const QString outputName = m_outputs.claim(source);
        const QString output = outputFolder + u'/' + outputName;
        const bool current = m_outputs.wasRenderedFrom(outputName, source) &&
                             LocalPhotoRenderer::isRenderCurrent(output, source, m_look, m_defaults);
        if (!current) {
            const bool rendered = co_await LocalPhotoRenderer::renderLocalPhoto(source, output, m_format,
                                                                                m_user.importedPhotosFit);
            if (isStopped())
                co_return false;
            if (!rendered)
                m_log.info(u"local photo %1: could not be read"_s.arg(outputName));
        }
        const std::optional<QString> thumbnail =
            PlaylistFolders::previewFile(m_layout.imagesDir, listed.album.title, sourceName);
        if (thumbnail && !LocalPhotoRenderer::isRenderCurrent(*thumbnail, source, QString(), m_defaults)) {
            co_await LocalPhotoRenderer::renderThumbnail(source, *thumbnail);
            if (isStopped())
                co_return false;
        }
        if (paper) {
            m_paperNames.insert(outputName);
            if (saver)
                PhotoPlacer::place(output, m_layout.saverDir);
        }
        if (saver)
            m_saverNames.insert(outputName);
    }
    co_return true;
}

QList<Album> SyncPass::sparedAlbums() const
{
    const QVariantMap titles = m_defaults.mapValue(keys::syncPlaylistTitles).value_or(QVariantMap());
    QList<Album> spared;
    for (const Album& album : m_skipped) {
        spared.append(album);
        const QVariant recorded = titles.value(QString::number(album.id));
        if (recorded.typeId() == QMetaType::QString && recorded.toString() != album.title) {
            Album before = album;
            before.title = recorded.toString();
            spared.append(before);
        }
    }
    return spared;
}

void SyncPass::spareSkippedPhotos(const QList<Album>& spared, QHash<QString, QString>& outputs)
{
    QStringList folders;
    for (const Album& album : spared) {
        std::optional<QString> folder = LocalPhotos::linkedFolder(album, m_defaults);
        if (!folder)
            folder = PlaylistFolders::playlistFolder(m_layout.playlistRoot, album.title);
        if (!folder)
            continue;
        folders.append(*folder);
        for (const QString& file : PhotoFolder::listPhotoFiles(*folder)) {
            const QString name = QFileInfo(file).fileName();
            if (PhotoFileNames::isAppFileName(name)) {
                m_paperNames.insert(name);
                m_saverNames.insert(name);
            }
        }
    }
    // Their renders keep their names, so the next pass finds them current.
    const QHash<QString, QString> previous =
        LocalOutputNames::fromVariant(m_defaults.value(keys::syncLocalSources));
    for (auto it = previous.cbegin(); it != previous.cend(); ++it) {
        const bool fromSkipped = std::any_of(folders.cbegin(), folders.cend(), [&it](const QString& folder) {
            return PlaylistFolders::isWithin(it.value(), folder);
        });
        if (!fromSkipped || outputs.contains(it.key()))
            continue;
        outputs.insert(it.key(), it.value());
        m_paperNames.insert(it.key());
        m_saverNames.insert(it.key());
    }
}

void SyncPass::storeTitles()
{
    const PlaylistSync& sync = *m_sync;
    const auto synced = [&sync](const QString& id) {
        return sync.m_paperIndex.contains(id) || sync.m_saverIndex.contains(id);
    };
    // The photos of a skipped playlist keep what the last pass stored for them.
    const QHash<QString, QString> before = SyncedTitles::read(sync.m_titlesFile);
    QHash<QString, QString> titles;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (synced(it.key()))
            titles.insert(it.key(), it.value());
    }
    for (const Listed& listed : std::as_const(m_listed)) {
        for (const Medium& photo : listed.photos) {
            if (synced(photo.shortId()))
                titles.insert(photo.shortId(), photo.title.value_or(QString()));
        }
    }
    if (const std::optional<QString> failure = SyncedTitles::write(sync.m_titlesFile, titles))
        m_log.error(u"can't store the photos' titles in %1: %2"_s.arg(sync.m_titlesFile, *failure));
}

// Kept for the next launch; a failure to write costs that launch a listing from the service.
void SyncPass::storeListings()
{
    PlaylistSync& sync = *m_sync;
    StoredListings::Stored stored{m_state, sync.m_clock.now(), {}};
    for (const Listed& listed : std::as_const(m_listed))
        stored.listings.insert(listed.album.id, listed.photos);
    if (const std::optional<QString> failure = StoredListings::write(sync.m_listingsFile, stored))
        m_log.error(u"can't store the listings in %1: %2"_s.arg(sync.m_listingsFile, *failure));
    sync.m_listingsKnown = true;
    emit sync.passCompleted(stored.listings, stored.listedAt);
}

void SyncPass::finish()
{
    PlaylistSync& sync = *m_sync;
    // A skipped playlist keeps what it had: its folder, its previews and its photos in the pools.
    const QList<Album> spared = sparedAlbums();
    QHash<QString, QString> outputs = m_outputs.record();
    spareSkippedPhotos(spared, outputs);
    m_defaults.setValue(keys::syncLinkedDownloads, LinkedDownloads::toVariant(m_record));
    m_defaults.remove(keys::electronLinkedDownloads);
    m_defaults.setValue(keys::syncLocalLook, m_look);
    m_defaults.setValue(keys::syncLocalSources, LocalOutputNames::toVariant(outputs));

    // The pool folders hold exactly what this pass placed: anything else there goes.
    PhotoFolder::removePhotoFiles(m_layout.paperDir,
                                  [this](const QString& name) { return !m_paperNames.contains(name); });
    PhotoFolder::removePhotoFiles(m_layout.saverDir,
                                  [this](const QString& name) { return !m_saverNames.contains(name); });
    FolderPruner::pruneStaleFolders(m_layout.playlistRoot, m_albums + spared);
    QList<Album> listedAlbums = spared;
    for (const Listed& listed : std::as_const(m_listed))
        listedAlbums.append(listed.album);
    FolderPruner::pruneThumbnails(m_layout.imagesDir, m_layout.playlistRoot, listedAlbums, m_defaults);
    sync.rebuildIndexes();
    storeTitles();

    // Failed downloads leave the pass dirty, so the next one fetches them even when nothing else
    // changed. What the service lacks, and playlists that can't be synced, stay so until the
    // playlists change, which changes the state: trying them at every pass would only ask again.
    const bool complete = m_failed == 0;
    m_defaults.setValue(keys::syncState, m_state);
    m_defaults.setValue(keys::syncDirty, !complete);
    const QVariantMap recorded = m_defaults.mapValue(keys::syncPlaylistTitles).value_or(QVariantMap());
    QVariantMap titles;
    for (const Album& album : std::as_const(m_albums)) {
        const QString id = QString::number(album.id);
        const bool skipped = std::any_of(m_skipped.cbegin(), m_skipped.cend(),
                                         [&album](const Album& other) { return other.id == album.id; });
        titles.insert(id, skipped && recorded.contains(id) ? recorded.value(id) : QVariant(album.title));
    }
    m_defaults.setValue(keys::syncPlaylistTitles, titles);

    m_log.info(u"synced %1 playlists: %2 photos, %3 downloaded, %4 failed, %5 in wallpaper, %6 in saver"_s
                   .arg(m_listed.size())
                   .arg(m_total)
                   .arg(m_downloaded)
                   .arg(m_failed)
                   .arg(sync.m_paperIndex.size())
                   .arg(sync.m_saverIndex.size()));
    if (!complete)
        m_log.info(u"pass incomplete: %1 downloads failed; the next pass tries again"_s.arg(m_failed));
    if (m_missing > 0 || !m_skipped.isEmpty())
        m_log.info(
            u"not on the service: %1 photos; %2 playlists skipped; tried again when the playlists change"_s
                .arg(m_missing)
                .arg(m_skipped.size()));
    emit sync.poolFoldersChanged();
    if (complete && m_sync)
        storeListings();
    sync.setSyncing(false, m_generation);
}

} // namespace lumi
