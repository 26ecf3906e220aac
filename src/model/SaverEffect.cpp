#include "model/SaverEffect.h"

#include "model/SettingRows.h"

#include <QCoreApplication>
#include <QHashFunctions>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

struct Row
{
    SaverEffect::Case kind;
    QStringView value;
    const char* label;
};

const std::array<Row, 6> rows{{
    {SaverEffect::fader, u"fader", QT_TRANSLATE_NOOP("SaverEffect", "Fader")},
    {SaverEffect::faller, u"faller", QT_TRANSLATE_NOOP("SaverEffect", "Faller")},
    {SaverEffect::fourup, u"fourup", QT_TRANSLATE_NOOP("SaverEffect", "Four-up")},
    {SaverEffect::kber, u"kber", QT_TRANSLATE_NOOP("SaverEffect", "Panner")},
    {SaverEffect::slider, u"slider", QT_TRANSLATE_NOOP("SaverEffect", "Slider")},
    {SaverEffect::reflections, u"reflections", QT_TRANSLATE_NOOP("SaverEffect", "Reflections")},
}};

} // namespace

QString SaverEffect::randomValue()
{
    return u"random"_s;
}

std::optional<SaverEffect> SaverEffect::fromValue(QStringView value)
{
    return settingForValue<SaverEffect>(rows, value);
}

std::optional<SaverEffect> SaverEffect::fromSetting(const std::optional<QString>& setting)
{
    if (setting == randomValue())
        return std::nullopt;
    return fromValue(setting.value_or(QString())).value_or(fader);
}

QList<SaverEffect> SaverEffect::all()
{
    return allSettings<SaverEffect>(rows);
}

QString SaverEffect::value() const
{
    return rows.at(m_case).value.toString();
}

QString SaverEffect::label() const
{
    return QCoreApplication::translate("SaverEffect", rows.at(m_case).label);
}

size_t qHash(SaverEffect effect, size_t seed) noexcept
{
    return ::qHash(int(SaverEffect::Case(effect)), seed);
}

} // namespace lumi
