#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/Medium.h"
#include "model/WallpaperFit.h"
#include "platform/DisplayInfo.h"
#include "wallpaper/CalendarOverlay.h"
#include "wallpaper/VariantDownloader.h"
#include "wallpaper/WallpaperApplier.h"
#include "wallpaper/WallpaperError.h"

#include <QCoroTask>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace lumi {

class Clock;
class ProblemSink;
class SyncedPhotos;
class WallpaperSetter;
struct MediaFormat;

/// Puts one photo on one display: picks the catalog variant that suits the display, finds the photo
/// on disk or downloads that variant, composes the wallpaper JPEG off the main thread, hands it to
/// the desktop with retries, and keeps its two folders small. Owned by the rotation; every call
/// runs on the main thread and keeps no state but the folders and what each display shows.
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

    /// Composes the photo for the display and sets it. The source is the photo's local path, else
    /// (with useCDN and without forceDownload) its synced copy, else the variant that
    /// MediaFormat::bestFit picks for the display's pixel size, downloaded once and reused. title is
    /// drawn when given (blank counts as none). Throws WallpaperError: noImage, download, tooSmall,
    /// unreadable (the photo couldn't be composed), or system (the desktop refused the picture four
    /// times, or a file couldn't be written).
    QCoro::Task<void> applyWallpaper(Medium photo, DisplayInfo display,
                                     std::optional<CalendarOverlay> overlay, WallpaperFit fit,
                                     std::optional<QString> title, bool useCDN,
                                     bool forceDownload = false) override;

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

    /// The downloaded variant, fetched when missing (or always when forced); throws WallpaperError.
    QCoro::Task<QString> variantFile(Medium photo, MediaFormat variant, QString name, bool useCdn,
                                     bool forceDownload);
    /// Removes the destination (and a variant downloaded for it, when named), reports the failure
    /// and throws WallpaperError::unreadable.
    [[noreturn]] void composeFailed(const QString& name, const QString& failure, const QString& downloaded,
                                    const QString& destination);
    /// Tries four times, waiting 0, 2, 5 and 10 s before the tries; throws the last refusal.
    QCoro::Task<void> setWallpaperWithRetry(QString file, DisplayInfo display, QImage picture);
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
    std::function<void()> m_redraw;
};

} // namespace lumi
