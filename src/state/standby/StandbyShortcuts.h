#pragma once

#include "state/ShortcutRegistry.h"

namespace lumi {

/// Stands in for the global shortcuts until they are built: none is ever held.
class StandbyShortcuts final : public ShortcutRegistry
{
public:
    void registerShortcuts() override {}
    void unregisterAll() override {}
    bool isRegistered(Shortcut) const override { return false; }
};

} // namespace lumi
