#pragma once

#include "model/AppLog.h"
#include "model/CalendarSettings.h"
#include "wallpaper/CalendarOverlay.h"
#include "wallpaper/CalendarRequest.h"

#include <QDate>
#include <QDateTime>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

class Clock;
struct User;

/// Turns the user's calendar settings into what the wallpaper composition draws, keys the
/// calendar on screen so the rotation knows when to redraw it, and caps failed redraws per day.
/// Safe to use from any thread: the conversions are pure and the retry state is locked.
class CalendarService final
{
public:
    /// `language` fixes the names' language (tests); empty follows the system's preferred languages.
    explicit CalendarService(const Clock& clock, QString language = {});
    Q_DISABLE_COPY_MOVE(CalendarService)

    /// The normalised settings, or nullopt when there is no user or the calendar is off.
    static std::optional<CalendarSettings> calendarSettings(const std::optional<User>& user);
    /// Zoom of a size setting; 1.0 for any text not in the size options.
    static double zoomScale(const QString& size);
    /// The first preferred language when the calendar supports it, else "en".
    static QString calendarLanguage(const QStringList& preferredLanguages);

    /// The `lang` of every request.
    QString calendarLanguage() const;
    CalendarRequest makeRequest(const CalendarSettings& settings, const QDate& date) const;
    /// For today; handed to the wallpaper composition.
    CalendarOverlay makeOverlay(const CalendarSettings& settings) const;
    /// For today; holds the date, so it changes at midnight.
    QString overlayKey(const CalendarSettings& settings) const;
    /// What "calendar-on-screen" should hold: the overlay key, or "none" when the calendar is off.
    QString wantedKey(const std::optional<CalendarSettings>& settings) const;
    /// The diagnostics' check: renders the user's calendar (or a default one) at zoom 1; nullopt
    /// on success, else the failure text.
    std::optional<QString> renderSample(const std::optional<User>& user) const;

    /// Whether a calendar redraw may run now.
    bool canAttempt() const;
    /// After a failed redraw: retry in 120 s, or from the tenth failure of a day on, the next day.
    void noteFailure();
    /// After a settings change the user wants to see at once; the day's count stays.
    void clearNextAttempt();
    std::optional<QDateTime> nextAttempt() const;
    int attemptsToday() const;

private:
    QDate today() const;
    static QString keyOf(const CalendarSettings& settings, const CalendarRequest& request);

    const Clock& m_clock;
    const QString m_language;
    AppLog m_log{QStringLiteral("calendar")};

    mutable QMutex m_mutex;
    std::optional<QDateTime> m_nextAttempt;
    int m_attemptsToday = 0;
    QDate m_attemptDay;
};

} // namespace lumi
