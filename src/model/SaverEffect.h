#pragma once

#include "model/SettingChoice.h"

namespace lumi {

struct SaverEffectCases
{
    enum Case { fader, faller, fourup, kber, slider, reflections };
};

// The screen saver's effect: the "saver_show" setting, which may also hold "random".
class SaverEffect final : public SettingChoice<SaverEffect, SaverEffectCases, SaverEffectCases::fader>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;

    // The setting's text for a different effect on every screen; it names no case, so fromValue
    // gives none for it.
    static QString randomValue();

    // What a stored setting plays: none for "random" (each screen draws its own), fader when the
    // setting is absent or names no effect.
    static std::optional<SaverEffect> fromSetting(const std::optional<QString>& setting);
};

} // namespace lumi
