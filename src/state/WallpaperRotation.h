#pragma once

#include "model/Medium.h"
#include "platform/DisplayInfo.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace lumi {

/// The wallpaper rotation as the application model drives it: started with every session,
/// stopped and forgotten at sign-out, redrawn when a look setting changes.
class WallpaperRotation
{
public:
    virtual ~WallpaperRotation() = default;

    /// Starts the rotation loop and its wake and screen observers; a running loop is left alone.
    virtual void start() = 0;
    /// Ends the loop and its observers.
    virtual void stop() = 0;
    /// Forgets the pool, the queue and what is shown, including the persisted record of it.
    virtual void reset() = 0;
    /// Composes the shown wallpapers again with the current fit, title and calendar settings.
    virtual void redrawNow() = 0;
    /// Picks and sets the next photo per display; false while a change runs or nobody is signed in.
    /// A change the user asks for (userInitiated) first ends any waiting after earlier failures,
    /// and its failure also becomes the model's alert.
    virtual QCoro::Task<bool> changeWallpaper(bool userInitiated) = 0;
    /// Sets this photo as the wallpaper of the displays (none: every connected display) and records
    /// it as shown. False, changing nothing, while another change runs; false when setting fails,
    /// which the rotation reports itself.
    virtual QCoro::Task<bool> showPhoto(Medium photo, std::optional<QList<DisplayInfo>> displays) = 0;

    /// True while a change, a redraw or a chosen photo is being set: the one busy flag of the rotation.
    virtual bool isChanging() const = 0;
    /// The photo shown now; none when nothing is shown.
    virtual std::optional<Medium> nowShowing() const = 0;
    /// Why changes keep failing, once a change and its retries have failed; none again after a
    /// change that works.
    virtual std::optional<QString> failure() const = 0;
    /// When the next try after failed changes is due.
    virtual std::optional<QDateTime> retryAt() const = 0;
    virtual void setRetryAt(std::optional<QDateTime> at) = 0;
    /// The key the photo pool was built under; an empty key makes the next change rebuild it.
    virtual QString poolKey() const = 0;
    virtual void setPoolKey(QString key) = 0;
};

} // namespace lumi
