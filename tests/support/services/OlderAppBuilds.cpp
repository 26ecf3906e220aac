#include "support/services/OlderAppBuilds.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi::test {

QString OlderAppBuilds::makeFolder(const QString& folder)
{
    for (const QString& name : {u"resources/app.asar"_s, u"resources.pak"_s, u"icudtl.dat"_s}) {
        if (!writeFile(folder + u'/' + name))
            return {};
    }
    const QString program = folder + u"/lumivale"_s;
    return QFile::copy(u"/bin/bash"_s, program) ? program : QString();
}

bool OlderAppBuilds::makeAppImage(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::copy(u"/bin/sleep"_s, path))
        return false;
    // The ELF header's padding holds the mark; the kernel doesn't read it.
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(8) && file.write("AI\x02", 3) == 3;
}

} // namespace lumi::test
