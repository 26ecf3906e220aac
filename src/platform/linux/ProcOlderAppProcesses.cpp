#include "platform/linux/ProcOlderAppProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QString procPath(qint64 pid, const QString& entry)
{
    return u"/proc/%1/%2"_s.arg(pid).arg(entry);
}

bool ownedByThisUser(qint64 pid)
{
    struct stat info{};
    return ::stat(QFile::encodeName(u"/proc/%1"_s.arg(pid)).constData(), &info) == 0 && info.st_uid == ::getuid();
}

bool runsFrom(const QString& executable, const QStringList& copies)
{
    return std::any_of(copies.cbegin(), copies.cend(), [&](const QString& copy) {
        return executable == copy || executable.startsWith(copy + u'/');
    });
}

QString appImageOf(qint64 pid)
{
    QFile file(procPath(pid, u"environ"_s));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray prefix = QByteArrayLiteral("APPIMAGE=");
    for (const QByteArray& entry : file.readAll().split('\0')) {
        if (entry.startsWith(prefix))
            return QFile::decodeName(entry.mid(prefix.size()));
    }
    return {};
}

// Callers signal only pids a scan has just found; the owner is checked once more right before, so
// another user's process is never hit, even when the app runs as root.
bool signalOwned(qint64 pid, int signal)
{
    return pid > 0 && ownedByThisUser(pid) && ::kill(pid_t(pid), signal) == 0;
}

} // namespace

QList<qint64> ProcOlderAppProcesses::running(const QStringList& copies) const
{
    QList<qint64> found;
    if (copies.isEmpty())
        return found;
    const qint64 self = ::getpid();
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == self || !ownedByThisUser(pid) || !isRunning(pid))
            continue;
        const QString executable = QFileInfo(procPath(pid, u"exe"_s)).symLinkTarget();
        const QString appImage = appImageOf(pid);
        if ((!executable.isEmpty() && runsFrom(executable, copies)) || (!appImage.isEmpty() && copies.contains(appImage)))
            found.append(pid);
    }
    return found;
}

bool ProcOlderAppProcesses::isRunning(qint64 pid) const
{
    QFile file(procPath(pid, u"stat"_s));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) S ...": the state follows the last parenthesis, as the name may hold one.
    const QByteArray stat = file.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0 || close + 2 >= stat.size())
        return false;
    const char state = stat.at(close + 2);
    return state != 'Z' && state != 'X';
}

bool ProcOlderAppProcesses::terminate(qint64 pid)
{
    return signalOwned(pid, SIGTERM);
}

bool ProcOlderAppProcesses::kill(qint64 pid)
{
    return signalOwned(pid, SIGKILL);
}

} // namespace lumi
