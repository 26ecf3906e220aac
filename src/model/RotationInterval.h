#pragma once

#include "model/SettingChoice.h"

namespace lumi {

struct RotationIntervalCases
{
    enum Case {
        never,
        oneMinute,
        fiveMinutes,
        tenMinutes,
        twentyMinutes,
        thirtyMinutes,
        oneHour,
        twoHours,
        oneDay
    };
};

// How often the wallpaper changes: the "rotate_desktop" setting. Absent or unknown texts count as
// an hour.
class RotationInterval final
    : public SettingChoice<RotationInterval, RotationIntervalCases, RotationIntervalCases::oneHour>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;

    // Seconds between timed changes; none for never and for once a calendar day.
    std::optional<int> seconds() const;
};

} // namespace lumi
