#pragma once

#include "state/DailyNotifications.h"

namespace lumi {

/// Stands in for the daily notifier until it is built.
class StandbyNotifications final : public DailyNotifications
{
public:
    void start() override {}
    void stop() override {}
    void requestAuthorization() override {}
};

} // namespace lumi
