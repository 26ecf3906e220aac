#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

namespace lumi {

// RFC 3339 internet date-times as the service writes them ("2024-03-05T10:20:30.250+01:00").
// QDateTime's ISO parser also takes dates without a time or a time without a zone, which would
// silently read as local time, so this one insists on the full form.
class InternetDateTime final
{
public:
    // The instant in UTC; none unless the text is a date, "T", a time with optional fractional
    // seconds and a zone ("Z" or ±hh:mm), with nothing around it.
    static std::optional<QDateTime> parse(QStringView text);
};

} // namespace lumi
