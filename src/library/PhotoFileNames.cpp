#include "library/PhotoFileNames.h"

#include "model/Medium.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString jpgExtension = u".jpg"_s;
constexpr int idLength = 8;

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// A strict parse followed by formatting with the same fixed-width pattern gives the text back
// exactly when each field is in range: year 1 or later (there is no year 0), month 1-12, and a
// day that exists in that month of the proleptic Gregorian calendar.
bool isValidDate(int year, int month, int day)
{
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

int number(const QString& text, qsizetype from, qsizetype length)
{
    return QStringView(text).mid(from, length).toInt();
}

} // namespace

QString PhotoFileNames::slug(const QString& title)
{
    QString result;
    result.reserve(title.size());
    for (const QChar c : title) {
        const char16_t u = c.unicode();
        if ((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') || u == u'-' ||
            u == u' ')
            result.append(c);
    }
    return result;
}

std::optional<QString> PhotoFileNames::photoFileName(const Medium& photo)
{
    const QString id = photo.uuid.left(idLength).toLower();
    if (!isShortId(id))
        return std::nullopt;
    QString base = slug(photo.title.value_or(QString())).left(slugLimit);
    if (base.isEmpty())
        base = u"Lumivale"_s;
    return base + u'-' + id + jpgExtension;
}

bool PhotoFileNames::isAppFileName(const QString& name)
{
    if (!name.endsWith(jpgExtension) || name.size() < 14)
        return false;
    const QString stem = name.chopped(jpgExtension.size());
    const QString tail = stem.right(idLength);
    if (stem.at(stem.size() - idLength - 1) != u'-')
        return false;
    return isLowerAlphanumeric(tail) && !isDateStamp(tail);
}

bool PhotoFileNames::isDateStamp(const QString& text)
{
    if (text.size() != idLength)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    // yyyyMMdd, MMddyyyy, ddMMyyyy
    return isValidDate(number(text, 0, 4), number(text, 4, 2), number(text, 6, 2)) ||
           isValidDate(number(text, 4, 4), number(text, 0, 2), number(text, 2, 2)) ||
           isValidDate(number(text, 4, 4), number(text, 2, 2), number(text, 0, 2));
}

bool PhotoFileNames::isLowerAlphanumeric(const QString& text)
{
    for (const QChar c : text) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

bool PhotoFileNames::isShortId(const QString& id)
{
    return id.size() == idLength && isLowerAlphanumeric(id);
}

} // namespace lumi
