#include "wallpaper/WallpaperService.h"

#include "imaging/ImagingThread.h"
#include "imaging/JpegFile.h"
#include "library/LibraryFiles.h"
#include "library/PhotoDownloader.h"
#include "model/Clock.h"
#include "model/CrashReport.h"
#include "model/MediaFormat.h"
#include "model/ProblemSink.h"
#include "platform/Paths.h"
#include "platform/WallpaperSetter.h"
#include "wallpaper/ScreenGeometry.h"
#include "wallpaper/SyncedPhotos.h"
#include "wallpaper/WallpaperComposer.h"
#include "wallpaper/WallpaperFiles.h"

#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <array>
#include <chrono>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

// What a call still running reports when the service went away under it.
WallpaperError stopped()
{
    return WallpaperError::system(u"the wallpaper service stopped"_s);
}

} // namespace

WallpaperService::WallpaperService(QNetworkAccessManager& network, WallpaperSetter& setter, Clock& clock,
                                   ProblemSink& reporter, const SyncedPhotos& synced, QString directory,
                                   QObject* parent)
    : QObject(parent), m_setter(setter), m_clock(clock), m_reporter(reporter), m_synced(synced),
      m_directory(directory.isEmpty() ? defaultDirectory() : directory), m_photos(m_directory + u"/Photos"_s),
      m_downloader(network)
{
    // A failure shows up at the first download or composition; nothing to do about it here.
    QDir().mkpath(m_photos);
    // What a run that ended in mid-write left behind, here and in the folders below: the variants,
    // a desktop's spanned pictures.
    LibraryFiles::removeLeftovers(m_directory);
    const QStringList folders =
        QDir(m_directory).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString& folder : folders)
        LibraryFiles::removeLeftovers(m_directory + u'/' + folder);
}

WallpaperService::~WallpaperService()
{
    m_cancel.cancel();
}

QString WallpaperService::defaultDirectory()
{
    return Paths::appDataFolder() + u"/Wallpapers"_s;
}

QCoro::Task<void> WallpaperService::applyWallpaper(Medium photo, DisplayInfo display,
                                                   std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                                   std::optional<QString> title, bool useCDN,
                                                   bool forceDownload)
{
    QList<WallpaperPlacement> placements{{std::move(photo), std::move(display), std::move(title)}};
    const QList<std::exception_ptr> failures =
        co_await applyWallpapers(std::move(placements), std::move(overlay), fit, useCDN, forceDownload);
    if (failures.constFirst())
        std::rethrow_exception(failures.constFirst());
}

QCoro::Task<QList<std::exception_ptr>>
WallpaperService::applyWallpapers(QList<WallpaperPlacement> placements,
                                  std::optional<CalendarOverlay> overlay, WallpaperFit fit, bool useCDN,
                                  bool forceDownload)
{
    if (placements.size() < 2 || m_setter.wantsWholeChanges()) {
        QCoro::Task<QList<std::exception_ptr>> together =
            applyTogether(std::move(placements), std::move(overlay), fit, useCDN, forceDownload);
        co_return co_await std::move(together);
    }
    // Each display is set as soon as its picture is ready, while the others' are still made.
    std::vector<QCoro::Task<QList<std::exception_ptr>>> running;
    running.reserve(std::size_t(placements.size()));
    for (const WallpaperPlacement& placement : std::as_const(placements))
        running.push_back(applyTogether({placement}, overlay, fit, useCDN, forceDownload));
    QList<std::exception_ptr> failures;
    for (QCoro::Task<QList<std::exception_ptr>>& task : running)
        failures += co_await std::move(task);
    co_return failures;
}

QCoro::Task<QList<std::exception_ptr>> WallpaperService::applyTogether(QList<WallpaperPlacement> placements,
                                                                       std::optional<CalendarOverlay> overlay,
                                                                       WallpaperFit fit, bool useCDN,
                                                                       bool forceDownload)
{
    const QPointer<WallpaperService> self(this);
    QList<std::exception_ptr> failures(placements.size());
    // Each display's picture is found, downloaded and composed while the others' are. Every one
    // gets a name of its own, even two displays of one size showing one photo: the names count
    // milliseconds, taken one after the other.
    std::vector<QCoro::Task<Prepared>> preparing;
    preparing.reserve(std::size_t(placements.size()));
    for (const WallpaperPlacement& placement : std::as_const(placements)) {
        m_stamp = std::max(m_clock.now().toMSecsSinceEpoch(), m_stamp + 1);
        preparing.push_back(prepare(placement, overlay, fit, useCDN, forceDownload, m_stamp));
    }
    QList<Prepared> prepared;
    QList<qsizetype> indexes;
    for (qsizetype i = 0; i < placements.size(); ++i) {
        try {
            prepared.append(co_await std::move(preparing[std::size_t(i)]));
            indexes.append(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
    }
    preparing.clear();
    if (!self) {
        for (std::exception_ptr& failure : failures)
            failure = std::make_exception_ptr(stopped());
        co_return failures;
    }

    // One change of the desktop, for every display whose picture is ready.
    QList<WallpaperRequest> requests;
    for (const Prepared& ready : std::as_const(prepared))
        requests.append(WallpaperRequest{ready.placement.display, ready.destination, ready.picture});
    QCoro::Task<QList<std::optional<QString>>> setting = setWithRetry(std::move(requests));
    const QList<std::optional<QString>> refusals = co_await std::move(setting);
    if (!self) {
        for (std::exception_ptr& failure : failures)
            failure = std::make_exception_ptr(stopped());
        co_return failures;
    }

    for (qsizetype k = 0; k < prepared.size(); ++k) {
        Prepared& ready = prepared[k];
        const qsizetype i = indexes[k];
        ready.picture = QImage();
        std::optional<QString> unwritten;
        if (ready.writing) {
            unwritten = co_await *ready.writing;
            if (!self) {
                failures[i] = std::make_exception_ptr(stopped());
                continue;
            }
        }
        if (refusals[k]) {
            failures[i] = std::make_exception_ptr(WallpaperError::system(*refusals[k]));
            continue;
        }
        if (unwritten) {
            failures[i] = std::make_exception_ptr(composeFailed(ready, *unwritten));
            continue;
        }
        const WallpaperPlacement& placement = ready.placement;
        m_current.insert(placement.display.key(), Shown{placement.display, ready.destination});
        m_log.info(
            u"set %1 on display %2 at %3x%4, %5%6%7"_s.arg(WallpaperFiles::shortId(placement.photo.uuid))
                .arg(placement.display.number)
                .arg(ready.variant.width)
                .arg(ready.variant.height)
                .arg(fit.value(), overlay ? u" with calendar"_s : QString(),
                     WallpaperComposer::cleanTitle(placement.title) ? u" with title"_s : QString()));
    }
    if (self)
        WallpaperFiles::prune(m_directory, keepFiles, filesInUse());
    co_return failures;
}

QCoro::Task<WallpaperService::Prepared> WallpaperService::prepare(WallpaperPlacement placement,
                                                                  std::optional<CalendarOverlay> overlay,
                                                                  WallpaperFit fit, bool useCDN,
                                                                  bool forceDownload, qint64 stamp)
{
    const QPointer<WallpaperService> self(this);
    const Medium& photo = placement.photo;
    Prepared prepared;
    prepared.variant =
        MediaFormat::bestFit(placement.display.pixelSize.width(), placement.display.pixelSize.height());
    prepared.name = WallpaperFiles::variantName(photo.uuid, prepared.variant);

    // The photo's own file, else the sync's copy (not when the CDN is off or a fresh copy is
    // wanted), else the catalog variant.
    QString source;
    const bool ownFile =
        photo.localPath && !photo.localPath->isEmpty() && m_synced.isOwnFile(*photo.localPath);
    if (photo.localPath && !photo.localPath->isEmpty() && !ownFile)
        m_log.info(u"%1 is not in the photo folders; not read"_s.arg(*photo.localPath));
    const std::optional<QString> synced =
        !ownFile && useCDN && !forceDownload ? m_synced.syncedFile(photo.shortId()) : std::nullopt;
    if (ownFile) {
        source = *photo.localPath;
    } else if (synced) {
        source = *synced;
    } else {
        source = co_await variantFile(photo, prepared.variant, prepared.name, useCDN, forceDownload);
        if (!self)
            throw stopped();
        prepared.downloaded = source;
    }

    prepared.destination = WallpaperFiles::composedFile(m_directory, prepared.name, stamp);
    const std::optional<QString> text = WallpaperComposer::cleanTitle(placement.title);
    const ScreenGeometry geometry = ScreenGeometry::of(placement.display);
    const QString destination = prepared.destination;
    // Named first: GCC 12 mishandles a capturing lambda's temporary inside a co_await expression.
    QFuture<Drawn> composing = QtConcurrent::run(&ImagingThread::pool(), [=]() -> Drawn {
        if (WallpaperComposer::keepsPhoto(source, overlay, fit, text))
            return {{}, WallpaperComposer::compose(source, overlay, fit, text, geometry, destination)};
        QString error;
        QImage picture = WallpaperComposer::draw(source, overlay, fit, text, geometry, &error);
        return {picture, picture.isNull() ? std::optional(error) : std::nullopt};
    });
    Drawn drawn = co_await composing;
    if (!self)
        throw stopped();
    if (drawn.failure)
        throw composeFailed(prepared, *drawn.failure);
    prepared.placement = std::move(placement);
    if (drawn.picture.isNull())
        co_return prepared;

    const QImage picture = drawn.picture;
    drawn.picture = QImage();
    prepared.writing = QtConcurrent::run(&ImagingThread::pool(), [picture, destination] {
        return JpegFile::write(picture, destination, JpegFile::photoQuality);
    });
    // A setter that paints the picture itself sets it while the file is written; any other needs
    // the whole file first.
    if (m_setter.paintsPicture()) {
        prepared.picture = picture;
        co_return prepared;
    }
    const std::optional<QString> unwritten = co_await *prepared.writing;
    if (!self)
        throw stopped();
    prepared.writing.reset();
    if (unwritten)
        throw composeFailed(prepared, *unwritten);
    co_return prepared;
}

QCoro::Task<QString> WallpaperService::variantFile(Medium photo, MediaFormat variant, QString name,
                                                   bool useCdn, bool forceDownload)
{
    const QPointer<WallpaperService> self(this);
    const QString target = m_photos + u'/' + name + u".jpg"_s;
    if (!forceDownload && QFileInfo(target).isFile()) {
        // Touched so that a variant in use stays among the newest and survives pruning.
        QFile file(target);
        if (file.open(QIODevice::ReadOnly))
            file.setFileTime(m_clock.now(), QFileDevice::FileModificationTime);
        co_return target;
    }
    // Another display needs this variant now: one download, one report of its failure.
    if (const std::shared_ptr<Download> running = m_downloads.value(target)) {
        co_await CancelToken::untilCancelled(running->done);
        if (running->failure)
            std::rethrow_exception(running->failure);
        co_return target;
    }
    const std::optional<QUrl> url = PhotoDownloader::variantUrl(photo, variant, useCdn);
    if (!url)
        throw WallpaperError::noImage();

    const auto download = std::make_shared<Download>();
    m_downloads.insert(target, download);
    try {
        co_await m_downloader.download(*url, target, m_cancel);
    } catch (...) {
        download->failure = std::current_exception();
    }
    if (self)
        m_downloads.remove(target);
    download->done.cancel();
    if (download->failure) {
        try {
            std::rethrow_exception(download->failure);
        } catch (const WallpaperError& error) {
            if (self && error.kind() == WallpaperError::Kind::download &&
                (error.status() == 403 || error.status() == 404))
                report(u"wallpaper variant missing (HTTP %1)"_s.arg(error.status()),
                       url->toString(QUrl::FullyEncoded));
        } catch (...) {
        }
        std::rethrow_exception(download->failure);
    }
    if (!self)
        throw stopped();
    WallpaperFiles::prune(m_photos, keepPhotos);
    co_return target;
}

WallpaperError WallpaperService::composeFailed(const Prepared& prepared, const QString& failure)
{
    // A variant that can't be composed is dropped so the next try downloads it again.
    if (!prepared.downloaded.isEmpty())
        QFile::remove(prepared.downloaded);
    QFile::remove(prepared.destination);
    report(u"compose failed"_s, prepared.name + u": "_s + failure);
    return WallpaperError::unreadable();
}

QCoro::Task<QList<std::optional<QString>>> WallpaperService::setWithRetry(QList<WallpaperRequest> requests)
{
    const QPointer<WallpaperService> self(this);
    static constexpr std::array delays{0s, 2s, 5s, 10s};
    QList<std::optional<QString>> refusals(requests.size(), stopped().message());
    QList<qsizetype> pending;
    for (qsizetype i = 0; i < requests.size(); ++i)
        pending.append(i);
    for (const std::chrono::seconds delay : delays) {
        if (pending.isEmpty())
            co_return refusals;
        if (delay > 0s) {
            const bool slept = co_await m_clock.sleep(delay, m_cancel);
            if (!self || !slept)
                co_return refusals;
        }
        QList<WallpaperRequest> asked;
        for (const qsizetype i : std::as_const(pending))
            asked.append(requests[i]);
        QCoro::Task<QList<WallpaperSetResult>> setting = m_setter.setWallpapers(std::move(asked));
        const QList<WallpaperSetResult> results = co_await std::move(setting);
        if (!self)
            co_return refusals;
        QList<qsizetype> refused;
        bool unsupported = false;
        for (qsizetype k = 0; k < pending.size(); ++k) {
            const qsizetype i = pending[k];
            const WallpaperSetResult result = results.value(k);
            refusals[i] = result.ok() ? std::nullopt : std::optional(result.error());
            if (result.ok())
                continue;
            // Nothing will change by trying again, and nothing is broken that a report could help
            // with; said once for the whole change.
            if (result.permanent()) {
                if (!std::exchange(unsupported, true))
                    m_log.error(u"%1 can't set wallpapers: %2"_s.arg(m_setter.name(), result.error()));
                continue;
            }
            m_log.info(u"setting the wallpaper through %1 failed (retrying): %2"_s.arg(m_setter.name(),
                                                                                       result.error()));
            refused.append(i);
        }
        pending = refused;
    }
    for (const qsizetype i : std::as_const(pending))
        report(u"setting the wallpaper failed after retries"_s, m_setter.name() + u": "_s + *refusals[i]);
    co_return refusals;
}

QCoro::Task<std::optional<QString>> WallpaperService::clearWallpaperCacheAndReport()
{
    const QPointer<WallpaperService> self(this);
    const std::optional<QString> failure = co_await clearWallpaperCache();
    if (!self)
        co_return failure;
    if (!failure) {
        m_cacheLog.info(u"wallpaper cache cleared"_s);
        co_return std::nullopt;
    }
    m_cacheLog.error(u"Wallpapers: "_s + *failure);
    co_return tr("Failed to clear wallpaper cache: ") + *failure;
}

QCoro::Task<std::optional<QString>> WallpaperService::clearWallpaperCache()
{
    const QPointer<WallpaperService> self(this);
    const QString folder = m_directory;
    const QStringList spared = filesInUse();
    QFuture<std::optional<QString>> removing =
        QtConcurrent::run([folder, spared] { return WallpaperFiles::removeAll(folder, spared); });
    const std::optional<QString> failure = co_await removing;
    if (!self)
        co_return stopped().message();
    if (failure)
        co_return failure;

    // Setting the same file again makes a desktop that lost it read it afresh; the redraw then
    // replaces it with a new file under a new name.
    const QList<Shown> shown = m_current.values();
    for (const Shown& entry : shown) {
        if (!QFileInfo::exists(entry.file))
            continue;
        const WallpaperRequest request{entry.display, entry.file};
        const WallpaperSetResult result = co_await m_setter.setWallpaper(request);
        if (!self)
            co_return stopped().message();
        if (!result.ok())
            m_cacheLog.info(
                u"setting display %1 again failed: %2"_s.arg(entry.display.number).arg(result.error()));
    }
    if (m_redraw)
        m_redraw();
    co_return std::nullopt;
}

QStringList WallpaperService::filesInUse() const
{
    QStringList files = m_setter.filesInUse();
    for (const Shown& entry : m_current)
        files.append(entry.file);
    return files;
}

void WallpaperService::report(const QString& message, const QString& detail)
{
    m_reporter.report(CrashReport::problem(u"wallpaper"_s, message, detail, m_clock.now()));
}

} // namespace lumi
