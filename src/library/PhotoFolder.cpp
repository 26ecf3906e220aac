#include "library/PhotoFolder.h"

#include "library/LibraryFiles.h"
#include "library/PhotoFileNames.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int idLength = 8;

bool hasPhotoExtension(const QFileInfo& info)
{
    const QString suffix = info.suffix().toLower();
    return suffix == u"jpg"_s || suffix == u"jpeg"_s;
}

} // namespace

QStringList PhotoFolder::listPhotoFiles(const QString& folder)
{
    QStringList files;
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (hasPhotoExtension(entry) && !entry.isDir())
            files.append(entry.filePath());
    }
    return files;
}

QHash<QString, QString> PhotoFolder::indexFolder(const QString& folder)
{
    QHash<QString, QString> index;
    for (const QString& file : listPhotoFiles(folder)) {
        if (const std::optional<QString> id = shortIdOf(file))
            index.insert(*id, file);
    }
    return index;
}

QList<Medium> PhotoFolder::indexedPhotos(const QHash<QString, QString>& index,
                                         const QHash<QString, QString>& titles)
{
    QList<Medium> photos;
    for (auto it = index.cbegin(); it != index.cend(); ++it) {
        std::optional<QString> title;
        if (const auto stored = titles.constFind(it.key()); stored != titles.cend()) {
            if (!stored->isEmpty())
                title = *stored;
        } else {
            // "<title>-<short id>.jpg", the title reduced to plain letters.
            const QString base = QFileInfo(it.value()).completeBaseName();
            title = base.chopped(std::min<qsizetype>(base.size(), idLength + 1));
        }
        photos.append(Medium{.uuid = it.key(), .title = std::move(title), .localPath = it.value()});
    }
    std::sort(photos.begin(), photos.end(),
              [](const Medium& a, const Medium& b) { return *a.localPath < *b.localPath; });
    return photos;
}

std::optional<QString> PhotoFolder::shortIdOf(const QString& file)
{
    const QString stem = QFileInfo(file).completeBaseName();
    if (stem.size() < idLength + 1 || stem.at(stem.size() - idLength - 1) != u'-')
        return std::nullopt;
    return stem.right(idLength).toLower();
}

int PhotoFolder::removePhotoFiles(const QString& folder,
                                  const std::function<bool(const QString&)>& shouldRemove)
{
    int removed = 0;
    for (const QString& file : listPhotoFiles(folder)) {
        if (shouldRemove(QFileInfo(file).fileName()) && LibraryFiles::removeFileOrLink(file))
            ++removed;
    }
    return removed;
}

int PhotoFolder::removeAppFiles(const QString& folder)
{
    return removePhotoFiles(folder, [](const QString& name) { return PhotoFileNames::isAppFileName(name); });
}

} // namespace lumi
