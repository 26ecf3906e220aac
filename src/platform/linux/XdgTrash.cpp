#include "platform/linux/XdgTrash.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<QString> XdgTrash::moveToTrash(const QString& path)
{
    // Qt 6.4 "succeeds" into a relative "./files" when the data folder is missing: create it
    // first, and take a relative answer for the failure it is.
    QDir().mkpath(Paths::dataHome());
    QFile file(path);
    if (!file.moveToTrash())
        return file.errorString().isEmpty() ? u"could not move %1 to the trash"_s.arg(path)
                                            : file.errorString();
    if (QDir::isRelativePath(file.fileName()))
        return u"could not move %1 to the trash"_s.arg(path);
    return std::nullopt;
}

} // namespace lumi
