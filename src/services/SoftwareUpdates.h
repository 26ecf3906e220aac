#pragma once

#include "services/UpdateCheck.h"

#include <QCoroTask>
#include <QObject>

namespace lumi {

/// Looks for new versions of the app. Only tells: nothing is ever downloaded or installed.
class SoftwareUpdates : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SoftwareUpdates() override = default;

    /// Turns on the periodic background check; a failure is logged, never thrown.
    virtual void start() = 0;
    /// Looks now, for the user who asked; the answer always comes, a failure as `failed`.
    virtual QCoro::Task<UpdateCheck> checkForUpdates() = 0;

signals:
    /// A background check found a newer version.
    void updateAvailable(const lumi::UpdateCheck& update);
};

} // namespace lumi
