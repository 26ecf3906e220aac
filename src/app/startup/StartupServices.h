#pragma once

#include "model/Clock.h"
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
    /// None: the app's update check, made by the root over its own HTTP session.
    std::unique_ptr<SoftwareUpdates> updates;
    /// The time every service of the app keeps from the model on; none is the system's. A test
    /// hands in a clock it moves itself.
    std::unique_ptr<Clock> clock;

    /// The platform's implementations.
    static StartupServices standard();
};

} // namespace lumi
