#include "platform/linux/PidfdRunningCopy.h"

#include <QFile>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The owner is checked again right before, so a process that has since become another user's (a
// set-user-ID program it ran) is left alone even when the app runs as root.
bool signal(const PidfdRunningCopy::Process& process, int number)
{
    return process.handle.isAlive() && PidfdRunningCopy::isOwnedByThisUser(process.pid) &&
           process.handle.send(number);
}

} // namespace

bool PidfdRunningCopy::isOwnedByThisUser(qint64 pid)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(u"/proc/%1"_s.arg(pid)).constData(), &info) == 0 &&
           info.st_uid == ::getuid();
}

PidfdRunningCopy::PidfdRunningCopy(QString path, std::vector<Process> processes)
    : m_path(std::move(path)), m_processes(std::move(processes))
{
}

bool PidfdRunningCopy::isStart(const Process& process) const
{
    return std::none_of(m_processes.cbegin(), m_processes.cend(),
                        [&](const Process& other) { return other.pid == process.parent; });
}

qint64 PidfdRunningCopy::pid() const
{
    const auto start = std::find_if(m_processes.cbegin(), m_processes.cend(),
                                    [this](const Process& process) { return isStart(process); });
    return start != m_processes.cend() ? start->pid : 0;
}

bool PidfdRunningCopy::isRunning() const
{
    return std::any_of(m_processes.cbegin(), m_processes.cend(),
                       [](const Process& process) { return process.handle.isAlive(); });
}

bool PidfdRunningCopy::terminate()
{
    bool sent = false;
    for (const Process& process : m_processes) {
        if (isStart(process))
            sent = signal(process, SIGTERM) || sent;
    }
    return sent;
}

bool PidfdRunningCopy::kill()
{
    bool sent = false;
    for (const Process& process : m_processes)
        sent = signal(process, SIGKILL) || sent;
    return sent;
}

} // namespace lumi
