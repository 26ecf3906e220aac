#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"
#include "model/WallpaperFit.h"
#include "platform/DisplayInfo.h"
#include "platform/WallpaperRequest.h"
#include "wallpaper/CalendarOverlay.h"
#include "wallpaper/VariantDownloader.h"
#include "wallpaper/WallpaperApplier.h"
#include "wallpaper/WallpaperError.h"

#include <QCoroTask>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace lumi {

class Clock;
class ProblemSink;
class SyncedPhotos;
class WallpaperSetter;

/// Puts photos on displays: picks the catalog variant that suits each display, finds the photo on
/// disk or downloads that variant, composes the wallpaper JPEGs off the main thread, hands them to
/// the desktop as one change with retries, and keeps its two folders small. Owned by the rotation;
/// every call runs on the main thread and keeps no state but the folders, what each display
/// shows and the downloads in flight.
class WallpaperService final : public QObject, public WallpaperApplier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WallpaperService)

public:
    static constexpr int keepFiles = 8;
    static constexpr int keepPhotos = 16;

    /// The collaborators must outlive the service. directory: where composed wallpapers go (their
    /// variants in its "Photos" folder); empty means "Wallpapers" in the data folder. Both folders
    /// are created here.
    WallpaperService(QNetworkAccessManager& network, WallpaperSetter& setter, Clock& clock,
                     ProblemSink& reporter, const SyncedPhotos& synced, QString directory = {},
                     QObject* parent = nullptr);
    /// Wakes a set that waits between tries; it then ends with a failure.
    ~WallpaperService() override;

    static QString defaultDirectory();
    const QString& directory() const { return m_directory; }
    const QString& photosDirectory() const { return m_photos; }

    /// Composes each placement's photo for its display and sets the pictures: as one change for a
    /// setter that wants it whole, else each as soon as it is ready. The
    /// source is the photo's local path, else (with useCDN and without forceDownload) its synced
    /// copy, else the variant that MediaFormat::bestFit picks for the display's pixel size,
    /// downloaded once (displays that need it at once share the download) and reused. A title is
    /// drawn when given (blank counts as none). A display's failure is a WallpaperError: noImage,
    /// download, tooSmall, unreadable (the photo couldn't be composed), or system (the desktop
    /// refused the picture four times, or a file couldn't be written).
    QCoro::Task<QList<std::exception_ptr>> applyWallpapers(QList<WallpaperPlacement> placements,
                                                           std::optional<CalendarOverlay> overlay,
                                                           WallpaperFit fit, bool useCDN,
                                                           bool forceDownload) override;
    /// applyWallpapers for one display; throws its failure.
    QCoro::Task<void> applyWallpaper(Medium photo, DisplayInfo display,
                                     std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                     std::optional<QString> title, bool useCDN, bool forceDownload = false);

    /// For a desktop that keeps showing an old picture: removes our composed pictures that no
    /// display shows, sets the current ones again and asks for a redraw (new files, new names).
    /// None on success, else "Failed to clear wallpaper cache: " and the reason.
    QCoro::Task<std::optional<QString>> clearWallpaperCacheAndReport();
    /// The work of clearWallpaperCacheAndReport: none on success, else the reason.
    QCoro::Task<std::optional<QString>> clearWallpaperCache();
    /// Called at the end of a cache clearing to compose the shown photos anew (the rotation's redraw).
    void setRedrawRequest(std::function<void()> redraw) { m_redraw = std::move(redraw); }

    /// The last wallpaper set per display key; it is spared by pruning and set again by a cache
    /// clearing.
    QString currentFile(const QString& displayKey) const { return m_current.value(displayKey).file; }

private:
    struct Shown
    {
        DisplayInfo display;
        QString file;
    };

    /// What the composition made: the picture (null when the photo was copied as it is), or why not.
    struct Drawn
    {
        QImage picture;
        std::optional<QString> failure;
    };

    /// One display's picture, composed and on its way to disk.
    struct Prepared
    {
        WallpaperPlacement placement;
        /// The variant name, for the log and reports.
        QString name;
        MediaFormat variant;
        /// The variant downloaded for it, dropped when it can't be composed; empty otherwise.
        QString downloaded;
        QString destination;
        /// Kept for a setter that paints the picture itself while its file is written.
        QImage picture;
        std::optional<QFuture<std::optional<QString>>> writing;
    };

    /// A download in flight, which a display that needs the same variant awaits.
    struct Download
    {
        CancelToken done;
        std::exception_ptr failure;
    };

    /// The placements as one change of the desktop: all composed, then all set together.
    QCoro::Task<QList<std::exception_ptr>> applyTogether(QList<WallpaperPlacement> placements,
                                                         std::optional<CalendarOverlay> overlay,
                                                         WallpaperFit fit, bool useCDN, bool forceDownload);
    /// Finds or downloads the photo and composes it for the display, naming the file after
    /// stamp; throws WallpaperError.
    QCoro::Task<Prepared> prepare(WallpaperPlacement placement, std::optional<CalendarOverlay> overlay,
                                  WallpaperFit fit, bool useCDN, bool forceDownload, qint64 stamp);
    /// The downloaded variant, fetched when missing (or always when forced); throws WallpaperError.
    QCoro::Task<QString> variantFile(Medium photo, MediaFormat variant, QString name, bool useCdn,
                                     bool forceDownload);
    /// Removes the destination (and a variant downloaded for it, when named), reports the failure
    /// and gives WallpaperError::unreadable.
    WallpaperError composeFailed(const Prepared& prepared, const QString& failure);
    /// Sets the pictures as one change, trying those refused again after 2, 5 and 10 s; per
    /// request the reason it stayed refused, or none once it is set.
    QCoro::Task<QList<std::optional<QString>>> setWithRetry(QList<WallpaperRequest> requests);
    QStringList filesInUse() const;
    void report(const QString& message, const QString& detail);

    WallpaperSetter& m_setter;
    Clock& m_clock;
    ProblemSink& m_reporter;
    const SyncedPhotos& m_synced;
    const QString m_directory;
    const QString m_photos;
    VariantDownloader m_downloader;
    AppLog m_log{QStringLiteral("wallpaper")};
    AppLog m_cacheLog{QStringLiteral("wallpaper-cache")};
    CancelToken m_cancel;
    QHash<QString, Shown> m_current;
    /// The milliseconds that named the last composed file.
    qint64 m_stamp = 0;
    /// Variant file to its download in flight.
    QHash<QString, std::shared_ptr<Download>> m_downloads;
    std::function<void()> m_redraw;
};

} // namespace lumi
