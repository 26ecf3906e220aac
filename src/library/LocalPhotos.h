#pragma once

#include "model/AppLog.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

struct Album;
class Defaults;
class Pickers;

/// Folders of the user's own photos linked to playlists, and the photos in them: which files
/// count and in which order, choosing folders and photos, copying photos in and the fit rule of
/// local photos. Linked folders are plain absolute paths.
class LocalPhotos final
{
    Q_DECLARE_TR_FUNCTIONS(LocalPhotos)

public:
    LocalPhotos() = delete;

    /// How a local photo fills a display.
    enum class Fit {
        cover, ///< scaled to fill, the overflow cut off, centred
        fit,   ///< scaled to lie inside, centred on black
        fill,  ///< stretched to the display's size
    };

    static constexpr int maxPhotos = 500;

    static const AppLog& log();

    /// The album's local path when this computer linked the playlist to that very folder (as
    /// recorded in defaults) and it exists (a file does not count). A path that only the service
    /// names is another computer's.
    static std::optional<QString> linkedFolder(const Album& album, const Defaults& defaults);
    /// The album is linked to a folder that is not there, or not on this computer.
    static bool isFolderMissing(const Album& album, const Defaults& defaults);
    /// Names as a person sorts them: letters without regard to case, runs of digits by their
    /// value ("IMG_9" before "IMG_10"); exact text breaks remaining ties so the order is total.
    static int compareNames(const QString& a, const QString& b);
    /// The folder's visible .jpg/.jpeg files that the sync did not write, in natural name order
    /// (case-insensitive, numbers by value), the first 500.
    static QStringList photoFiles(const QString& folder);

    /// The folder dialog with the given message and a "Choose" button.
    static QCoro::Task<std::optional<QString>> chooseFolder(Pickers& pickers, const QString& message);
    /// The JPEG dialog, several files at once, with an "Add" button.
    static QCoro::Task<QStringList> choosePhotos(Pickers& pickers);
    /// Copies the files into folder as "<base>.jpg" ("<base> 2.jpg", … when taken); a base the
    /// sync could take for its own gains an "x". Returns how many were copied.
    static int importPhotos(const QStringList& files, const QString& folder);
    /// Every folder this computer linked a playlist to.
    static QStringList linkedFolders(const Defaults& defaults);
    /// The file lies inside the photo directory or a folder linked on this computer, neither ".."
    /// nor a symbolic link leading out: the one rule for which local paths the app reads.
    static bool isOwnFile(const QString& path, const QString& photoDirectory, const Defaults& defaults);
    /// Records that this computer linked the playlist to the folder.
    static void recordLink(Defaults& defaults, qint64 playlistId, const QString& folder);
    /// Drops the playlist's entry from the stored map of folder links.
    static void unlinkFolder(Defaults& defaults, qint64 playlistId);

    /// The fit of a photo of this size under the imported-photos setting ("adapt" when absent:
    /// upright and square photos fit, wide ones cover; an unknown text fits).
    static Fit fitMode(const std::optional<QString>& setting, int width, int height);
    /// Where an image of imageSize is drawn on a canvas of canvasSize.
    static QRectF fittedRect(QSize canvasSize, QSize imageSize, Fit fit);
};

} // namespace lumi
