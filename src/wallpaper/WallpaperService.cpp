#include "wallpaper/WallpaperService.h"

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

#include <array>
#include <chrono>

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
    // What a run that ended in mid-write left behind.
    LibraryFiles::removeLeftovers(m_directory);
    LibraryFiles::removeLeftovers(m_photos);
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
    const QPointer<WallpaperService> self(this);
    const MediaFormat variant = MediaFormat::bestFit(display.pixelSize.width(), display.pixelSize.height());
    const QString name = WallpaperFiles::variantName(photo.uuid, variant);

    // The photo's own file, else the sync's copy (not when the CDN is off or a fresh copy is
    // wanted), else the catalog variant.
    QString source;
    bool downloaded = false;
    const bool ownFile = photo.localPath && !photo.localPath->isEmpty() && m_synced.isOwnFile(*photo.localPath);
    if (photo.localPath && !photo.localPath->isEmpty() && !ownFile)
        m_log.info(u"%1 is not in the photo folders; not read"_s.arg(*photo.localPath));
    const std::optional<QString> synced =
        !ownFile && useCDN && !forceDownload ? m_synced.syncedFile(photo.shortId()) : std::nullopt;
    if (ownFile) {
        source = *photo.localPath;
    } else if (synced) {
        source = *synced;
    } else {
        source = co_await variantFile(photo, variant, name, useCDN, forceDownload);
        if (!self)
            throw stopped();
        downloaded = true;
    }

    const QString destination =
        WallpaperFiles::composedFile(m_directory, name, m_clock.now().toMSecsSinceEpoch());
    const std::optional<QString> text = WallpaperComposer::cleanTitle(title);
    const ScreenGeometry geometry = ScreenGeometry::of(display);
    // Named first: GCC 12 mishandles a capturing lambda's temporary inside a co_await expression.
    QFuture<Drawn> composing = QtConcurrent::run([=]() -> Drawn {
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
        composeFailed(name, *drawn.failure, downloaded ? source : QString(), destination);

    // The file is written while a setter that paints the picture itself sets it.
    const bool beside = m_setter.paintsPicture();
    std::optional<QFuture<std::optional<QString>>> writing;
    if (!drawn.picture.isNull()) {
        const QImage picture = drawn.picture;
        writing = QtConcurrent::run(
            [picture, destination] { return JpegFile::write(picture, destination, JpegFile::photoQuality); });
        if (!beside) {
            const std::optional<QString> failure = co_await *writing;
            if (!self)
                throw stopped();
            if (failure)
                composeFailed(name, *failure, downloaded ? source : QString(), destination);
            writing.reset();
        }
    }
    std::exception_ptr refused;
    try {
        // Named first: GCC 12 destroys a by-value argument twice inside a co_await expression.
        QCoro::Task<void> setting = setWallpaperWithRetry(destination, display, beside ? drawn.picture : QImage());
        co_await std::move(setting);
    } catch (...) {
        refused = std::current_exception();
    }
    drawn.picture = QImage();
    if (writing) {
        const std::optional<QString> failure = co_await *writing;
        if (!self)
            throw stopped();
        if (failure && !refused)
            composeFailed(name, *failure, downloaded ? source : QString(), destination);
    }
    if (refused)
        std::rethrow_exception(refused);
    m_current.insert(display.key(), Shown{display, destination});
    m_log.info(u"set %1 on display %2 at %3x%4, %5%6%7"_s.arg(WallpaperFiles::shortId(photo.uuid))
                   .arg(display.number)
                   .arg(variant.width)
                   .arg(variant.height)
                   .arg(fit.value(), overlay ? u" with calendar"_s : QString(),
                        text ? u" with title"_s : QString()));
    WallpaperFiles::prune(m_directory, keepFiles, filesInUse());
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
    const std::optional<QUrl> url = PhotoDownloader::variantUrl(photo, variant, useCdn);
    if (!url)
        throw WallpaperError::noImage();
    try {
        co_await m_downloader.download(*url, target, m_cancel);
    } catch (const WallpaperError& error) {
        if (self && error.kind() == WallpaperError::Kind::download &&
            (error.status() == 403 || error.status() == 404))
            report(u"wallpaper variant missing (HTTP %1)"_s.arg(error.status()),
                   url->toString(QUrl::FullyEncoded));
        throw;
    }
    if (!self)
        throw stopped();
    WallpaperFiles::prune(m_photos, keepPhotos);
    co_return target;
}

void WallpaperService::composeFailed(const QString& name, const QString& failure, const QString& downloaded,
                                     const QString& destination)
{
    // A variant that can't be composed is dropped so the next try downloads it again.
    if (!downloaded.isEmpty())
        QFile::remove(downloaded);
    QFile::remove(destination);
    report(u"compose failed"_s, name + u": "_s + failure);
    throw WallpaperError::unreadable();
}

QCoro::Task<void> WallpaperService::setWallpaperWithRetry(QString file, DisplayInfo display, QImage picture)
{
    const QPointer<WallpaperService> self(this);
    static constexpr std::array delays{0s, 2s, 5s, 10s};
    QString reason;
    for (const std::chrono::seconds delay : delays) {
        if (delay > 0s) {
            const bool slept = co_await m_clock.sleep(delay, m_cancel);
            if (!self || !slept)
                throw stopped();
        }
        QCoro::Task<WallpaperSetResult> setting = m_setter.setWallpaper(WallpaperRequest{display, file, picture});
        const WallpaperSetResult result = co_await std::move(setting);
        if (!self)
            throw stopped();
        if (result.ok())
            co_return;
        reason = result.error();
        // Nothing will change by trying again, and nothing is broken that a report could help with.
        if (result.permanent()) {
            m_log.error(u"%1 can't set wallpapers: %2"_s.arg(m_setter.name(), reason));
            throw WallpaperError::system(reason);
        }
        m_log.info(u"setting the wallpaper through %1 failed (retrying): %2"_s.arg(m_setter.name(), reason));
    }
    report(u"setting the wallpaper failed after retries"_s, m_setter.name() + u": "_s + reason);
    throw WallpaperError::system(reason);
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
