#pragma once

#include "services/SoftwareUpdates.h"

namespace lumi {

/// Stands in for the update checker until it is built: never looks.
class StandbySoftwareUpdates final : public SoftwareUpdates
{
public:
    void start() override {}
    void checkForUpdates() override {}
};

} // namespace lumi
