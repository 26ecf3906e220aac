#pragma once

#include <QCoroTask>

namespace lumi {

/// The hand-over from the older, Electron-based desktop app of the service.
class OlderAppMigration
{
public:
    virtual ~OlderAppMigration() = default;

    /// Quits running copies of the older app and moves its installed copies to the trash, unless
    /// that was done or tried often enough. Waits for the copies to quit without blocking the
    /// event loop. Never fails to the caller.
    virtual QCoro::Task<void> takeOver() = 0;
    /// Copies the older app's session and settings into ours once, after a successful take-over,
    /// so that the model's launch finds them. Never fails to the caller.
    virtual void carryOverSettings() = 0;
    /// Whether the last take-over left a copy of the older app in place.
    virtual bool oldAppLeftInPlace() const = 0;
    /// Whether a copy of the older app is running now.
    virtual bool isOldAppRunning() const = 0;
    /// Shows the older app's installed copy in the file manager; nothing when none is found.
    virtual void revealOldApp() = 0;
};

} // namespace lumi
