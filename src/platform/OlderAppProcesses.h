#pragma once

#include <QList>
#include <QStringList>

namespace lumi {

/// The running copies of the older app and the signals that end them. Only processes of this
/// user that run from one of the given copies are ever found, so a signal never reaches anything
/// else, whoever runs the app.
class OlderAppProcesses
{
public:
    virtual ~OlderAppProcesses() = default;

    /// This user's processes, other than this one, whose executable lies in one of the copies (a
    /// folder or an AppImage file), or whose environment names one of them as its APPIMAGE.
    virtual QList<qint64> running(const QStringList& copies) const = 0;
    /// Whether the process still runs; one that has ended but not been reaped counts as ended.
    virtual bool isRunning(qint64 pid) const = 0;
    /// Asks the process to quit (SIGTERM); false when the signal could not be sent.
    virtual bool terminate(qint64 pid) = 0;
    /// Ends the process at once (SIGKILL); false when the signal could not be sent.
    virtual bool kill(qint64 pid) = 0;
};

} // namespace lumi
