#pragma once

#include "platform/RunningCopy.h"
#include "platform/linux/PidFd.h"

#include <vector>

namespace lumi {

/// A running copy found in /proc, each of its processes held by a pidfd taken before the process
/// was looked at.
class PidfdRunningCopy final : public RunningCopy
{
public:
    struct Process
    {
        qint64 pid = 0;
        qint64 parent = 0;
        PidFd handle;
    };

    /// processes in the order of their ids.
    PidfdRunningCopy(QString path, std::vector<Process> processes);

    QString path() const override { return m_path; }
    qint64 pid() const override;
    bool isRunning() const override;
    bool terminate() override;
    bool kill() override;

    /// Whether the process with the id runs as this user.
    static bool isOwnedByThisUser(qint64 pid);

private:
    /// The processes the copy was started as: those whose parent is not one of its own.
    bool isStart(const Process& process) const;

    QString m_path;
    std::vector<Process> m_processes;
};

} // namespace lumi
