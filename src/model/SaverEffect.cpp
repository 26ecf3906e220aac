#include "model/SaverEffect.h"

#include <QCoreApplication>

#include <array>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr std::array<ChoiceRow, 6> rows{{
    {u"fader", QT_TRANSLATE_NOOP("SaverEffect", "Fader")},
    {u"faller", QT_TRANSLATE_NOOP("SaverEffect", "Faller")},
    {u"fourup", QT_TRANSLATE_NOOP("SaverEffect", "Four-up")},
    {u"kber", QT_TRANSLATE_NOOP("SaverEffect", "Panner")},
    {u"slider", QT_TRANSLATE_NOOP("SaverEffect", "Slider")},
    {u"reflections", QT_TRANSLATE_NOOP("SaverEffect", "Reflections")},
}};

} // namespace

const ChoiceTable SaverEffect::table("SaverEffect", rows);

QString SaverEffect::randomValue()
{
    return u"random"_s;
}

std::optional<SaverEffect> SaverEffect::fromSetting(const std::optional<QString>& setting)
{
    if (setting == randomValue())
        return std::nullopt;
    return SettingChoice::fromSetting(setting);
}

} // namespace lumi
