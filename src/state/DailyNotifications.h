#pragma once

#include <QCoroTask>

namespace lumi {

/// The daily "today's photos" notification.
class DailyNotifications
{
public:
    virtual ~DailyNotifications() = default;

    /// Starts the repeating daily check; a running one is left alone.
    virtual void start() = 0;
    /// Stops the check until the next start.
    virtual void stop() = 0;
    /// Asks the desktop to allow notifications; the answer is only logged and changes no setting.
    virtual void requestAuthorization() = 0;
    /// Whether the desktop shows notifications now; asked without blocking.
    virtual QCoro::Task<bool> canNotify() = 0;
};

} // namespace lumi
