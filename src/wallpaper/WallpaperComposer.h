#pragma once

#include "model/WallpaperFit.h"
#include "wallpaper/CalendarOverlay.h"
#include "wallpaper/ScreenGeometry.h"

#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

namespace lumi {

struct WallpaperLayout;

/// Turns one photo file into the JPEG handed to the desktop for one display: the photo fitted on
/// black at the display's pixel size, or kept at its own size for the desktop to fill the screen
/// with (cropped to the display's size when the photo is larger both ways, as the desktop would
/// show it); the title at the lower right; the month calendar at its corner. Pure work on its
/// inputs and two files, safe on any thread.
class WallpaperComposer final
{
public:
    WallpaperComposer() = delete;

    /// 72 dots per inch, so a font's point size is its size in image pixels.
    static constexpr int dotsPerMeter = 2835;

    /// Writes the wallpaper at destination. None on success, else what went wrong (the caller
    /// reports it as "unreadable"); a failure may leave a partial file for the caller to remove.
    /// With fill, no title and no calendar, a JPEG the desktop can show as it is gets copied byte
    /// for byte; any other photo is decoded (its EXIF orientation applied) and encoded again, so
    /// the desktop never receives another format under a ".jpg" name.
    static std::optional<QString> compose(const QString& source,
                                          const std::optional<CalendarOverlay>& overlay, WallpaperFit fit,
                                          const std::optional<QString>& title, const ScreenGeometry& geometry,
                                          const QString& destination);

    /// Whether compose copies source byte for byte: fill, no title, no calendar, and a JPEG the
    /// desktop can show as it is.
    static bool keepsPhoto(const QString& source, const std::optional<CalendarOverlay>& overlay,
                           WallpaperFit fit, const std::optional<QString>& title);
    /// The picture compose encodes (for a photo it doesn't keep); null with *error set on failure.
    static QImage draw(const QString& source, const std::optional<CalendarOverlay>& overlay, WallpaperFit fit,
                       const std::optional<QString>& title, const ScreenGeometry& geometry, QString* error);

    /// A JPEG (it starts with FF D8 FF) whose pixels need no turning: no EXIF orientation, or 1.
    static bool isUprightJpeg(const QString& path);
    /// Trimmed, on one line; none when nothing is left.
    static std::optional<QString> cleanTitle(const std::optional<QString>& title);

private:
    /// The calendar at its final size and where its top left goes on the canvas.
    struct PlacedCalendar
    {
        QImage image;
        QPoint at;
    };

    static void drawTitle(QImage& canvas, const WallpaperLayout& layout, const QString& title);
    /// None when the calendar does not render.
    static std::optional<PlacedCalendar> renderCalendar(const WallpaperLayout& layout,
                                                        const CalendarOverlay& overlay,
                                                        const ScreenGeometry& geometry, bool titleDrawn);
};

} // namespace lumi
