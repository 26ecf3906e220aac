#pragma once

#include "state/IdleWatch.h"

namespace lumi {

/// Stands in for the idle monitor until the screen saver exists.
class StandbyIdleWatch final : public IdleWatch
{
public:
    void start() override {}
    void stop() override {}
};

} // namespace lumi
