#include "model/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

std::unique_ptr<QFile> RegularFile::open(const QString& path, QString* error)
{
    // A path handle opens nothing: what the path names is looked at first, then opened through
    // the handle, so it is the very file that was looked at.
    const int handle = ::open(QFile::encodeName(path).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (handle < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return nullptr;
    }
    struct stat info
    {
    };
    int fd = -1;
    if (::fstat(handle, &info) != 0)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISLNK(info.st_mode))
        *error = u"a symbolic link"_s;
    else if (!S_ISREG(info.st_mode))
        *error = u"not a regular file"_s;
    else if ((fd = ::open(QByteArray("/proc/self/fd/" + QByteArray::number(handle)).constData(),
                          O_RDONLY | O_CLOEXEC | O_NOCTTY)) < 0)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(handle);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = file->errorString();
        return nullptr;
    }
    return file;
}

} // namespace lumi
