#pragma once

#include <QString>

namespace lumi {

/// What the month calendar shows: the theme, today's date, the week start, how many months around
/// the current one, and the language of the month and weekday names.
struct CalendarRequest final
{
    QString theme;
    int year = 2026;
    int month = 1;
    int day = 1;
    bool mondayFirst = false;
    int past = 0;
    int future = 0;
    QString lang = QStringLiteral("en");

    bool operator==(const CalendarRequest&) const = default;
};

} // namespace lumi
