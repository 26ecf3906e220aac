#pragma once

#include "services/OlderAppMigration.h"

namespace lumi {

/// Stands in for the take-over of the older app until it is built: no older app is ever found.
class StandbyOlderAppMigration final : public OlderAppMigration
{
public:
    void takeOver() override {}
    void carryOverSettings() override {}
    bool isOldAppRunning() const override { return false; }
    void revealOldApp() override {}
};

} // namespace lumi
