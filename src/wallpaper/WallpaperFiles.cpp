#include "wallpaper/WallpaperFiles.h"

#include "model/MediaFormat.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Desktops may report a picture through another spelling of the same path.
QString samePathKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QSet<QString> keysOf(const QStringList& paths)
{
    QSet<QString> keys;
    for (const QString& path : paths)
        keys.insert(samePathKey(path));
    return keys;
}

// Regular files (not links to elsewhere) whose suffix is exactly "jpg": the names we write.
QFileInfoList jpegFiles(const QDir& dir)
{
    QFileInfoList files;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.suffix() == u"jpg" && !entry.isSymLink())
            files.append(entry);
    }
    return files;
}

} // namespace

QString WallpaperFiles::shortId(const QString& uuid)
{
    QString id;
    for (const QChar c : uuid.toLower()) {
        if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f'))
            id.append(c);
        if (id.size() == 8)
            break;
    }
    return id.isEmpty() ? u"photo"_s : id;
}

QString WallpaperFiles::variantName(const QString& uuid, const MediaFormat& variant)
{
    return u"%1-%2x%3"_s.arg(shortId(uuid)).arg(variant.width).arg(variant.height);
}

QString WallpaperFiles::composedFile(const QString& folder, const QString& variantName, qint64 milliseconds)
{
    for (;; ++milliseconds) {
        const QString path = u"%1/%2-%3.jpg"_s.arg(folder, variantName).arg(milliseconds);
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
}

void WallpaperFiles::prune(const QString& folder, int keep, const QStringList& spared)
{
    QFileInfoList files = jpegFiles(QDir(folder));
    if (files.size() <= keep)
        return;
    const auto modified = [](const QFileInfo& file) {
        const QDateTime time = file.lastModified();
        return time.isValid() ? time.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    };
    std::stable_sort(files.begin(), files.end(),
                     [&](const QFileInfo& a, const QFileInfo& b) { return modified(a) > modified(b); });
    const QSet<QString> spare = keysOf(spared);
    for (qsizetype i = keep; i < files.size(); ++i) {
        if (!spare.contains(samePathKey(files[i].filePath())))
            QFile::remove(files[i].filePath());
    }
}

std::optional<QString> WallpaperFiles::removeAll(const QString& folder, const QStringList& spared)
{
    const QFileInfo info(folder);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    const QDir dir(folder);
    if (!info.isDir() || !dir.isReadable())
        return u"%1 can't be read"_s.arg(folder);
    const QSet<QString> keep = keysOf(spared);
    for (const QFileInfo& file : jpegFiles(dir)) {
        if (keep.contains(samePathKey(file.filePath())))
            continue;
        QFile entry(file.filePath());
        if (!entry.remove())
            return u"%1: %2"_s.arg(file.filePath(), entry.errorString());
    }
    return std::nullopt;
}

} // namespace lumi
