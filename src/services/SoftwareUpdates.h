#pragma once

namespace lumi {

/// Looks for new versions of the app.
class SoftwareUpdates
{
public:
    virtual ~SoftwareUpdates() = default;

    /// Turns on the periodic background check; a failure is logged, never thrown.
    virtual void start() = 0;
    /// A check the user asked for: it always answers, with news, "up to date" or the error.
    virtual void checkForUpdates() = 0;
};

} // namespace lumi
