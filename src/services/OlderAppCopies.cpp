#include "services/OlderAppCopies.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The older app's executable inside its unpacked folder.
const QString oldExecutable = u"lumivale"_s;

bool isAppFolder(const QString& folder)
{
    return QFileInfo(folder + u"/resources/app.asar"_s).isFile() &&
           QFileInfo(folder + u'/' + oldExecutable).isFile();
}

} // namespace

QStringList OlderAppCopies::find(const QString& home, const QString& ownExecutable)
{
    const QString own = QDir::cleanPath(ownExecutable);
    QStringList copies;
    for (const QString& below : {u"Applications"_s, u"Downloads"_s, u"Desktop"_s}) {
        // Symbolic links are not followed: a copy is where it really lies.
        QDirIterator it(home + u'/' + below,
                        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            if (entry.isSymLink())
                continue;
            const QString path = QDir::cleanPath(entry.absoluteFilePath());
            const bool appImage = entry.isFile() && entry.fileName().startsWith(u"Lumivale"_s) &&
                                  entry.fileName().endsWith(u".AppImage"_s);
            if ((appImage || (entry.isDir() && isAppFolder(path))) && own != path &&
                !own.startsWith(path + u'/'))
                copies.append(path);
        }
    }
    return copies;
}

bool OlderAppCopies::isInstalled(const QString& executable, const QString& home)
{
    const QString folder = QFileInfo(QDir::cleanPath(executable)).absolutePath();
    const QStringList places{home + u"/Applications"_s, home + u"/.local/bin"_s, u"/usr/bin"_s, u"/usr/local/bin"_s};
    return places.contains(folder) || QFileInfo(folder).absolutePath() == u"/opt"_s;
}

} // namespace lumi
