#include "model/InternetDateTime.h"

#include <QDate>
#include <QTime>

namespace lumi {

namespace {

// Reads `count` ASCII digits at `pos`; QChar::isDigit would also take other scripts' digits.
std::optional<int> digits(QStringView text, qsizetype pos, qsizetype count)
{
    if (pos + count > text.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = pos; i < pos + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

bool isAt(QStringView text, qsizetype pos, char16_t expected)
{
    return pos < text.size() && text[pos].unicode() == expected;
}

} // namespace

std::optional<QDateTime> InternetDateTime::parse(QStringView text)
{
    const auto year = digits(text, 0, 4);
    const auto month = digits(text, 5, 2);
    const auto day = digits(text, 8, 2);
    const auto hour = digits(text, 11, 2);
    const auto minute = digits(text, 14, 2);
    const auto second = digits(text, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || !isAt(text, 4, u'-') ||
        !isAt(text, 7, u'-') || !(isAt(text, 10, u'T') || isAt(text, 10, u't')) || !isAt(text, 13, u':') ||
        !isAt(text, 16, u':'))
        return std::nullopt;

    qsizetype pos = 19;
    int milliseconds = 0;
    if (isAt(text, pos, u'.')) {
        const qsizetype start = ++pos;
        while (digits(text, pos, 1))
            ++pos;
        if (pos == start)
            return std::nullopt;
        // Finer digits than milliseconds are dropped; QDateTime holds no more.
        for (qsizetype i = start; i < start + 3; ++i)
            milliseconds = milliseconds * 10 + (i < pos ? *digits(text, i, 1) : 0);
    }

    int offsetSeconds = 0;
    if (isAt(text, pos, u'Z') || isAt(text, pos, u'z')) {
        ++pos;
    } else if (isAt(text, pos, u'+') || isAt(text, pos, u'-')) {
        const auto offsetHours = digits(text, pos + 1, 2);
        const auto offsetMinutes = digits(text, pos + 4, 2);
        if (!offsetHours || !offsetMinutes || !isAt(text, pos + 3, u':') || *offsetHours > 23 ||
            *offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (*offsetHours * 60 + *offsetMinutes) * 60 * (isAt(text, pos, u'-') ? -1 : 1);
        pos += 6;
    } else {
        return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;

    // A leap second (":60") cannot be held by QDateTime and is rejected with the other bad times.
    const QDate date(*year, *month, *day);
    const QTime time(*hour, *minute, *second, milliseconds);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds);
}

} // namespace lumi
