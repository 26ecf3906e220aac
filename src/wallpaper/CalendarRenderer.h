#pragma once

#include "wallpaper/CalendarRequest.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QStringList>

#include <optional>

namespace lumi {

/// Draws the month calendar laid onto wallpapers: one rounded card per month, stacked top to
/// bottom, with the month title, weekday labels, day numbers and today's circle, into a
/// transparent image. Stateless and safe to call from any thread.
class CalendarRenderer final
{
public:
    CalendarRenderer() = delete;

    /// An sRGB colour, components 0 to 1, alpha not premultiplied.
    struct RGBA final
    {
        double r = 0;
        double g = 0;
        double b = 0;
        double a = 1;

        static constexpr RGBA white() { return {1, 1, 1, 1}; }
        QColor toColor() const { return QColor::fromRgbF(float(r), float(g), float(b), float(a)); }
        bool operator==(const RGBA&) const = default;
    };

    /// The colours of one theme. Without `card` there is no card and no card shadow; without
    /// `band` no header band; `scrim` and `halo` keep the texts readable on cardless themes.
    struct Theme final
    {
        std::optional<RGBA> card;
        std::optional<RGBA> band;
        RGBA title;
        RGBA text;
        RGBA label;
        RGBA other;
        RGBA today;
        RGBA todayText;
        std::optional<RGBA> scrim;
        std::optional<RGBA> halo;

        bool operator==(const Theme&) const = default;
    };

    struct Cell final
    {
        int day = 0;
        bool inMonth = false;
        bool today = false;

        bool operator==(const Cell&) const = default;
    };

    struct Month final
    {
        int year = 0;
        int month = 0;
        /// Rows of seven cells, neighbouring months' days filling the first and last rows.
        QList<QList<Cell>> weeks;
    };

    /// The theme of that exact name; any other name draws "classic".
    static Theme theme(const QString& name);
    /// Montserrat SemiBold at a size in layout points.
    static QFont calendarFont(qreal size);

    /// "en", "de", "es", "fr", "it", "nl", "pt", in this order.
    static const QStringList& supportedLanguages();
    /// The language itself when supported, else "en".
    static QString supportedLanguage(const QString& lang);

    /// The calendar at a zoom into a transparent ARGB32 premultiplied image; nullopt when the
    /// zoom is not a positive finite number, the request's month does not exist, or the bitmap
    /// cannot be made.
    static std::optional<QImage> render(const CalendarRequest& request, double zoom);
    /// The image size at zoom 1, in points.
    static QSizeF imageSize(const CalendarRequest& request);
    /// The months to draw, oldest first: up to two before and after the request's month. Empty
    /// when the request's year and month name no date.
    static QList<Month> months(const CalendarRequest& request);
    static Month monthGrid(int year, int month, const CalendarRequest& request);
    /// Full month name and year in the language's order, e.g. "Dezember 2026".
    static QString monthTitle(int year, int month, const QString& lang);
    /// Upper-cased short weekday names, Sunday first.
    static QStringList weekdaySymbols(const QString& lang);
};

} // namespace lumi
