#pragma once

#include "model/SettingChoice.h"

namespace lumi {

struct SaverPauseCases
{
    enum Case { three, five, ten, twenty, thirty, sixty };
};

// How long each photo stays in the screen saver: the "saver_pause" setting. The stored value is
// the case's position as one digit ("3" is twenty seconds), as the older clients wrote it. Absent
// or unknown texts count as ten seconds.
class SaverPause final : public SettingChoice<SaverPause, SaverPauseCases, SaverPauseCases::ten>
{
public:
    using SettingChoice::SettingChoice;

    static const ChoiceTable table;

    // "<seconds> seconds".
    QString label() const;
    int seconds() const;
};

} // namespace lumi
