#include "platform/linux/ProcOlderAppProcesses.h"

#include "platform/linux/PidfdRunningCopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QString procPath(qint64 pid, const QString& entry)
{
    return u"/proc/%1/%2"_s.arg(pid).arg(entry);
}

QByteArray procFile(qint64 pid, const QString& entry)
{
    QFile file(procPath(pid, entry));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "pid (name) S ppid ...": the fields follow the last parenthesis, as the name may hold one.
qint64 parentOf(qint64 pid)
{
    const QByteArray stat = procFile(pid, u"stat"_s);
    const qsizetype close = stat.lastIndexOf(')');
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    return close >= 0 && fields.size() > 1 ? fields[1].toLongLong() : 0;
}

ProcOlderAppProcesses::ProcessImage imageOf(qint64 pid, const QStringList& copies)
{
    ProcOlderAppProcesses::ProcessImage image;
    image.executable = QFileInfo(procPath(pid, u"exe"_s)).symLinkTarget();
    for (const QByteArray& entry : procFile(pid, u"environ"_s).split('\0')) {
        if (entry.startsWith("APPIMAGE="))
            image.appImage = QFile::decodeName(entry.mid(9));
        else if (entry.startsWith("APPDIR="))
            image.appDir = QFile::decodeName(entry.mid(7));
    }
    // Only a process that claims a copy has its mounts read.
    if (copies.contains(image.appImage) && !image.appDir.isEmpty())
        image.mountInfo = procFile(pid, u"mountinfo"_s);
    return image;
}

// mountinfo writes a blank, tab, line feed and backslash in a path as a backslash and three
// octal digits.
QString unescapedMountPath(const QByteArray& field)
{
    QByteArray path;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                path += char(code);
                i += 3;
                continue;
            }
        }
        path += field[i];
    }
    return QFile::decodeName(path);
}

} // namespace

std::optional<QString> ProcOlderAppProcesses::copyOf(const ProcessImage& image, const QStringList& copies)
{
    if (image.executable.isEmpty())
        return std::nullopt;
    for (const QString& copy : copies) {
        if (image.executable == copy || image.executable.startsWith(copy + u'/'))
            return copy;
    }
    const QString appDir = QDir::cleanPath(image.appDir);
    if (copies.contains(image.appImage) && !image.appDir.isEmpty() &&
        image.executable.startsWith(appDir + u'/') && isFuseMountPoint(image.mountInfo, appDir))
        return image.appImage;
    return std::nullopt;
}

bool ProcOlderAppProcesses::isFuseMountPoint(const QByteArray& mountInfo, const QString& path)
{
    // "36 35 98:0 / /mnt rw,relatime shared:1 - fuse.Lumivale.AppImage Lumivale.AppImage ro,…"
    for (const QByteArray& line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"), 6);
        if (separator < 0 || separator + 1 >= fields.size())
            continue;
        if (fields[separator + 1].startsWith("fuse") && unescapedMountPath(fields[4]) == path)
            return true;
    }
    return false;
}

std::vector<std::unique_ptr<RunningCopy>> ProcOlderAppProcesses::running(const QStringList& copies) const
{
    if (copies.isEmpty())
        return {};
    std::vector<std::vector<PidfdRunningCopy::Process>> found(size_t(copies.size()));
    const qint64 self = ::getpid();
    const QStringList entries = QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString& entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == self)
            continue;
        // Held first and looked at after: when it is still alive once read, the id named this
        // very process all along, so what was read is its own.
        PidFd handle = PidFd::open(pid);
        if (!handle.isValid() || !PidfdRunningCopy::isOwnedByThisUser(pid))
            continue;
        const std::optional<QString> copy = copyOf(imageOf(pid, copies), copies);
        if (!copy)
            continue;
        const qint64 parent = parentOf(pid);
        if (handle.isAlive())
            found[size_t(copies.indexOf(*copy))].push_back({pid, parent, std::move(handle)});
    }
    std::vector<std::unique_ptr<RunningCopy>> running;
    for (qsizetype i = 0; i < copies.size(); ++i) {
        std::vector<PidfdRunningCopy::Process>& processes = found[size_t(i)];
        if (processes.empty())
            continue;
        std::sort(processes.begin(), processes.end(),
                  [](const auto& a, const auto& b) { return a.pid < b.pid; });
        running.push_back(std::make_unique<PidfdRunningCopy>(copies[i], std::move(processes)));
    }
    return running;
}

} // namespace lumi
