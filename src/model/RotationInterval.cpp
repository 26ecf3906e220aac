#include "model/RotationInterval.h"

#include "model/SettingRows.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <array>

namespace lumi {

namespace {

struct Row
{
    RotationInterval::Case kind;
    QStringView value;
    const char* label;
    int seconds;
};

const std::array<Row, 9> rows{{
    {RotationInterval::never, u"never", QT_TRANSLATE_NOOP("RotationInterval", "Never"), 0},
    {RotationInterval::oneMinute, u"1minute", QT_TRANSLATE_NOOP("RotationInterval", "Every minute"), 60},
    {RotationInterval::fiveMinutes, u"5minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 5 minutes"),
     300},
    {RotationInterval::tenMinutes, u"10minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 10 minutes"),
     600},
    {RotationInterval::twentyMinutes, u"20minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 20 minutes"),
     1200},
    {RotationInterval::thirtyMinutes, u"30minutes", QT_TRANSLATE_NOOP("RotationInterval", "Every 30 minutes"),
     1800},
    {RotationInterval::oneHour, u"1hour", QT_TRANSLATE_NOOP("RotationInterval", "Every hour"), 3600},
    {RotationInterval::twoHours, u"2hours", QT_TRANSLATE_NOOP("RotationInterval", "Every 2 hours"), 7200},
    {RotationInterval::oneDay, u"1day", QT_TRANSLATE_NOOP("RotationInterval", "Every day"), 0},
}};

const Row& rowOf(RotationInterval::Case kind)
{
    return rows.at(kind);
}

} // namespace

std::optional<RotationInterval> RotationInterval::fromValue(QStringView value)
{
    return settingForValue<RotationInterval>(rows, value);
}

RotationInterval RotationInterval::fromSetting(const std::optional<QString>& setting)
{
    return fromValue(setting.value_or(QString())).value_or(oneHour);
}

QList<RotationInterval> RotationInterval::all()
{
    return allSettings<RotationInterval>(rows);
}

QString RotationInterval::value() const
{
    return rowOf(m_case).value.toString();
}

QString RotationInterval::label() const
{
    return QCoreApplication::translate("RotationInterval", rowOf(m_case).label);
}

std::optional<int> RotationInterval::seconds() const
{
    const int seconds = rowOf(m_case).seconds;
    return seconds > 0 ? std::optional(seconds) : std::nullopt;
}

size_t qHash(RotationInterval interval, size_t seed) noexcept
{
    return ::qHash(int(RotationInterval::Case(interval)), seed);
}

} // namespace lumi
