#include "library/PlaylistFolders.h"

#include "library/LibraryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumi {

std::optional<QString> PlaylistFolders::childFolder(const QString& parent, const QString& name)
{
    if (name.isEmpty() || name.contains(QChar(u'\0')))
        return std::nullopt;
    const QStringList components = name.split(u'/', Qt::SkipEmptyParts);
    for (const QString& component : components) {
        if (QFile::encodeName(component).size() > maxComponentBytes)
            return std::nullopt;
    }
    const QString root = QDir::cleanPath(parent);
    const QString candidate = QDir::cleanPath(root + u'/' + name);
    if (!candidate.startsWith(root + u'/'))
        return std::nullopt;
    const std::optional<QString> resolvedRoot = LibraryFiles::resolvedPath(root);
    const std::optional<QString> resolvedCandidate = LibraryFiles::resolvedPath(candidate);
    if (!resolvedRoot || !resolvedCandidate || !resolvedCandidate->startsWith(*resolvedRoot + u'/'))
        return std::nullopt;
    return candidate;
}

std::optional<QString> PlaylistFolders::previewFolder(const QString& imagesDir, const QString& title,
                                                      const QString& photoFileName)
{
    const std::optional<QString> parent = childFolder(imagesDir, title);
    if (!parent)
        return std::nullopt;
    const QString base = QFileInfo(photoFileName).completeBaseName();
    return childFolder(*parent, base);
}

std::optional<QString> PlaylistFolders::previewFile(const QString& imagesDir, const QString& title,
                                                    const QString& photoFileName)
{
    const std::optional<QString> folder = previewFolder(imagesDir, title, photoFileName);
    if (!folder)
        return std::nullopt;
    return *folder + u'/' + previewFileName;
}

bool PlaylistFolders::isWithin(const QString& path, const QString& root)
{
    return path == root || path.startsWith(root + u'/');
}

} // namespace lumi
