#pragma once

#include "model/ChoiceTable.h"

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

struct User;

/// The user's calendar choice after normalisation of the texts stored in the account.
struct CalendarSettings final
{
    /// One entry of a calendar picker.
    using Option = ChoiceOption;

    QString size = QStringLiteral("medium");
    QString theme = QStringLiteral("classic");
    QString position = QStringLiteral("top_left");
    /// Per cent, a multiple of 10 from 50 to 100.
    int opacity = 100;
    QString start = QStringLiteral("sunday");
    QString past = QStringLiteral("none");
    QString future = QStringLiteral("none");

    bool operator==(const CalendarSettings&) const = default;

    /// From the calendar texts of the user record: nullopt when there is no user or the calendar is
    /// off (size missing, empty or "zero"); every other bad value falls back to its default.
    static std::optional<CalendarSettings> fromUser(const std::optional<User>& user);

    /// "none", "1" or "2" from a stored month count.
    static QString monthCount(const std::optional<QString>& text);

    /// A sign and digits only, no blanks; nullopt otherwise. Saturates far beyond any setting's
    /// range instead of overflowing.
    static std::optional<int> decimal(const QString& text);

    static const QList<Option>& themeOptions();
    static const QList<Option>& sizeOptions();
    static const QList<Option>& positionOptions();
    static const QList<Option>& startOptions();
    /// For both the past and the future picker.
    static const QList<Option>& monthOptions();
};

} // namespace lumi
