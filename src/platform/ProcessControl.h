#pragma once

#include <QString>
#include <QStringList>

namespace lumi {

/// Starting a detached helper process and ending this one, as the relaunch after a move of the
/// photo directory needs.
class ProcessControl
{
public:
    virtual ~ProcessControl() = default;

    /// Starts program with the arguments, not waiting for it; false when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    /// This process's id.
    virtual qint64 processId() const = 0;
    /// This program's executable.
    virtual QString executable() const = 0;
    /// Asks the application to end once the current event has been handled.
    virtual void quit() = 0;
};

} // namespace lumi
