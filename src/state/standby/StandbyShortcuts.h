#pragma once

#include "state/ShortcutRegistry.h"

namespace lumi {

/// Stands in for the global shortcuts until they are built.
class StandbyShortcuts final : public ShortcutRegistry
{
public:
    void registerShortcuts() override {}
    void unregisterAll() override {}
};

} // namespace lumi
