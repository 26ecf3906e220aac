#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumi::test {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool existsNoFollow(const QString& path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

} // namespace lumi::test
