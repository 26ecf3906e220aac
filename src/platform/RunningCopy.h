#pragma once

#include <QString>

namespace lumi {

/// One running copy of the older app: the processes of this user that run from it, held from the
/// scan that found them. A signal can only ever reach those very processes, also once they have
/// ended and another process has been given one of their ids.
class RunningCopy
{
public:
    virtual ~RunningCopy() = default;

    /// The copy the processes run from, as the scan was given it.
    virtual QString path() const = 0;
    /// The process the copy was started as (its first, when there are several), for the log.
    virtual qint64 pid() const = 0;
    /// Whether any of its processes still runs; one that has ended but not been reaped counts as
    /// ended.
    virtual bool isRunning() const = 0;
    /// Asks the copy to quit: SIGTERM to the processes it was started as, whose own children end
    /// with them. False when no signal could be sent.
    virtual bool terminate() = 0;
    /// Ends every one of its processes that still runs (SIGKILL). False when none could be signalled.
    virtual bool kill() = 0;
};

} // namespace lumi
