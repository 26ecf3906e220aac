#include "model/SaverIdle.h"

#include "model/SettingRows.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <array>

namespace lumi {

namespace {

struct Row
{
    SaverIdle::Case kind;
    QStringView value;
    const char* label;
    int seconds;
};

const std::array<Row, 8> rows{{
    {SaverIdle::never, u"never", QT_TRANSLATE_NOOP("SaverIdle", "Never"), 0},
    {SaverIdle::oneMinute, u"1minute", QT_TRANSLATE_NOOP("SaverIdle", "1 minute"), 60},
    {SaverIdle::twoMinutes, u"2minutes", QT_TRANSLATE_NOOP("SaverIdle", "2 minutes"), 120},
    {SaverIdle::fiveMinutes, u"5minutes", QT_TRANSLATE_NOOP("SaverIdle", "5 minutes"), 300},
    {SaverIdle::tenMinutes, u"10minutes", QT_TRANSLATE_NOOP("SaverIdle", "10 minutes"), 600},
    {SaverIdle::twentyMinutes, u"20minutes", QT_TRANSLATE_NOOP("SaverIdle", "20 minutes"), 1200},
    {SaverIdle::thirtyMinutes, u"30minutes", QT_TRANSLATE_NOOP("SaverIdle", "30 minutes"), 1800},
    {SaverIdle::oneHour, u"1hour", QT_TRANSLATE_NOOP("SaverIdle", "1 hour"), 3600},
}};

const Row& rowOf(SaverIdle::Case kind)
{
    return rows.at(kind);
}

} // namespace

std::optional<SaverIdle> SaverIdle::fromValue(QStringView value)
{
    return settingForValue<SaverIdle>(rows, value);
}

SaverIdle SaverIdle::fromSetting(const std::optional<QString>& setting)
{
    return fromValue(setting.value_or(QString())).value_or(fiveMinutes);
}

QList<SaverIdle> SaverIdle::all()
{
    return allSettings<SaverIdle>(rows);
}

QString SaverIdle::value() const
{
    return rowOf(m_case).value.toString();
}

QString SaverIdle::label() const
{
    return QCoreApplication::translate("SaverIdle", rowOf(m_case).label);
}

std::optional<int> SaverIdle::seconds() const
{
    const int seconds = rowOf(m_case).seconds;
    return seconds > 0 ? std::optional(seconds) : std::nullopt;
}

size_t qHash(SaverIdle idle, size_t seed) noexcept
{
    return ::qHash(int(SaverIdle::Case(idle)), seed);
}

} // namespace lumi
