#pragma once

#include "platform/CrashHandlers.h"
#include "platform/SingleInstance.h"
#include "platform/SystemTray.h"
#include "services/OlderAppMigration.h"
#include "services/SoftwareUpdates.h"

#include <memory>

namespace lumi {

/// What the start-up sequence calls before the model exists, in its order of use. Tests hand in
/// their own; the app runs the standard set.
struct StartupServices final
{
    std::unique_ptr<SingleInstance> singleInstance;
    std::unique_ptr<SystemTray> systemTray;
    std::unique_ptr<CrashHandlers> crashHandlers;
    std::unique_ptr<OlderAppMigration> olderApp;
    std::unique_ptr<SoftwareUpdates> updates;

    /// The platform's implementations.
    static StartupServices standard();
};

} // namespace lumi
