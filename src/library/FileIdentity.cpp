#include "library/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

namespace lumi {

std::optional<FileIdentity> FileIdentity::of(const QString& path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
}

} // namespace lumi
