#pragma once

#include "state/AppTakeover.h"

namespace lumi {

/// Stands in for the take-over of the older app until it is built.
class StandbyTakeover final : public AppTakeover
{
public:
    void postReplacedEvent() override {}
};

} // namespace lumi
