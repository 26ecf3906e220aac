#pragma once

#include "platform/WallpaperRequest.h"
#include "platform/WallpaperSetResult.h"

#include <QCoroTask>
#include <QList>
#include <QStringList>

namespace lumi {

/// Puts a composed picture on the desktop of one display.
///
/// The picture covers the display: scaled proportionally up or down and cropped to its aspect (a
/// picture composed at the display's pixel size is shown as it is).
class WallpaperSetter
{
public:
    virtual ~WallpaperSetter() = default;

    /// Shows request.file on request.display. Resolves on the main thread once the desktop has
    /// accepted the picture; any failure comes back as an error, never as a silent success. The
    /// setter must outlive the call.
    virtual QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) = 0;

    /// Shows the pictures of one change, each on its display; one result per request, in their
    /// order. A desktop that takes one picture for all displays gets one, made of these pictures
    /// (and the others' last ones), so no display shows a picture from before this change. By
    /// default every request is set by setWallpaper, all at once.
    virtual QCoro::Task<QList<WallpaperSetResult>> setWallpapers(QList<WallpaperRequest> requests);
    /// Whether the pictures of one change must come in one setWallpapers call, as for a desktop
    /// that shows one picture over all displays; otherwise each display's picture may be set as
    /// soon as it is ready, while the others are still being made.
    virtual bool wantsWholeChanges() const { return false; }

    /// Files the desktop still reads from (the last picture set per display, and any file made from
    /// them); pruning must not delete them.
    virtual QStringList filesInUse() const = 0;

    /// Whether the setter paints request.picture itself when given one, so that the file need not
    /// be on disk before the call; otherwise the file must be complete when the call starts.
    virtual bool paintsPicture() const { return false; }

    /// How pictures are set, for the log (e.g. "X11 root window").
    virtual QString name() const = 0;
};

} // namespace lumi
