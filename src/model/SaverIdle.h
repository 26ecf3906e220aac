#pragma once

#include "model/SettingChoice.h"

namespace lumi {

struct SaverIdleCases
{
    enum Case {
        never,
        oneMinute,
        twoMinutes,
        fiveMinutes,
        tenMinutes,
        twentyMinutes,
        thirtyMinutes,
        oneHour
    };
};

// How long the user is idle before the screen saver starts: the "saver_idle" setting. Absent or
// unknown texts count as five minutes.
class SaverIdle final : public SettingChoice<SaverIdle, SaverIdleCases, SaverIdleCases::fiveMinutes>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;

    // Idle seconds before the saver starts; none when it never starts by itself.
    std::optional<int> seconds() const;
};

} // namespace lumi
