#include "services/OlderAppCopies.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The older app's executable inside its unpacked folder.
const QString oldExecutable = u"lumivale"_s;
// What an unpacked Electron app holds beside its executable: its own archive and Chromium's
// runtime, without which it does not start.
const QStringList electronFiles{u"resources/app.asar"_s, u"resources.pak"_s, u"icudtl.dat"_s};

QByteArray headOf(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

bool isProgram(const QFileInfo& file)
{
    return file.isFile() && file.isExecutable() &&
           headOf(file.filePath(), 4) == "\x7f"
                                         "ELF";
}

bool isAppFolder(const QString& folder)
{
    return isProgram(QFileInfo(folder + u'/' + oldExecutable)) &&
           std::all_of(electronFiles.cbegin(), electronFiles.cend(),
                       [&](const QString& name) { return QFileInfo(folder + u'/' + name).isFile(); });
}

// An AppImage is a program with "AI" and its format's number (1 or 2) after the ELF magic.
bool isAppImage(const QFileInfo& file)
{
    if (!file.fileName().startsWith(u"Lumivale"_s) || !file.fileName().endsWith(u".AppImage"_s) ||
        !isProgram(file))
        return false;
    const QByteArray head = headOf(file.filePath(), 11);
    return head.size() == 11 && head.mid(8, 2) == "AI" && (head.at(10) == 1 || head.at(10) == 2);
}

QString canonicalOr(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(path) : canonical;
}

} // namespace

QStringList OlderAppCopies::find(const QString& home, const QString& ownExecutable)
{
    const QString realHome = QFileInfo(home).canonicalFilePath();
    if (realHome.isEmpty())
        return {};
    const QString own = canonicalOr(ownExecutable);
    QStringList copies;
    for (const QString& below : {u"Applications"_s, u"Downloads"_s, u"Desktop"_s}) {
        // One of these linked out of the home leads to what isn't the user's to clear away.
        const QString folder = QFileInfo(home + u'/' + below).canonicalFilePath();
        if (!folder.startsWith(realHome + u'/'))
            continue;
        // Symbolic links below are not followed: a copy is where it really lies.
        QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo entry(it.next());
            if (entry.isSymLink())
                continue;
            const QString path = QDir::cleanPath(entry.absoluteFilePath());
            if ((isAppImage(entry) || (entry.isDir() && isAppFolder(path))) && own != path &&
                !own.startsWith(path + u'/'))
                copies.append(path);
        }
    }
    // Two of the folders may lead to the same place.
    copies.removeDuplicates();
    return copies;
}

bool OlderAppCopies::isInstalled(const QString& executable, const QString& home)
{
    const QString folder = QFileInfo(QDir::cleanPath(executable)).absolutePath();
    const QStringList places{home + u"/Applications"_s, home + u"/.local/bin"_s, u"/usr/bin"_s,
                             u"/usr/local/bin"_s};
    return places.contains(folder) || QFileInfo(folder).absolutePath() == u"/opt"_s;
}

} // namespace lumi
