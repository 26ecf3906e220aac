#include "library/LocalPhotos.h"

#include "imaging/PhotoDecoder.h"
#include "library/LibraryFiles.h"
#include "library/PhotoFileNames.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Pickers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isPhotoName(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == u"jpg"_s || suffix == u"jpeg"_s;
}

// Playlist id to the folder (its file-system bytes) this computer linked it to. A map holding
// anything else counts as none.
QVariantMap storedLinks(const Defaults& defaults)
{
    const std::optional<QVariantMap> stored = defaults.mapValue(keys::linkedFolderBookmarks);
    if (!stored)
        return {};
    const bool allBytes = std::all_of(stored->cbegin(), stored->cend(), [](const QVariant& value) {
        return value.typeId() == QMetaType::QByteArray;
    });
    return allBytes ? *stored : QVariantMap();
}

} // namespace

int LocalPhotos::compareNames(const QString& a, const QString& b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            QStringView digitsA = QStringView(a).mid(i, endA - i);
            QStringView digitsB = QStringView(b).mid(j, endB - j);
            while (digitsA.size() > 1 && digitsA.front() == u'0')
                digitsA = digitsA.mid(1);
            while (digitsB.size() > 1 && digitsB.front() == u'0')
                digitsB = digitsB.mid(1);
            if (digitsA.size() != digitsB.size())
                return digitsA.size() < digitsB.size() ? -1 : 1;
            if (const int order = digitsA.compare(digitsB); order != 0)
                return order;
            i = endA;
            j = endB;
            continue;
        }
        const QChar foldedA = a[i].toCaseFolded();
        const QChar foldedB = b[j].toCaseFolded();
        if (foldedA != foldedB)
            return foldedA < foldedB ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return a.compare(b);
}

const AppLog& LocalPhotos::log()
{
    static const AppLog log(u"local"_s);
    return log;
}

std::optional<QString> LocalPhotos::linkedFolder(const Album& album, const Defaults& defaults)
{
    if (!album.localPath || album.localPath->isEmpty())
        return std::nullopt;
    const QString folder = QDir::cleanPath(*album.localPath);
    if (storedLinks(defaults).value(QString::number(album.id)) != QVariant(QFile::encodeName(folder)))
        return std::nullopt;
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    return folder;
}

bool LocalPhotos::isFolderMissing(const Album& album, const Defaults& defaults)
{
    return album.localPath && !album.localPath->isEmpty() && !linkedFolder(album, defaults);
}

QStringList LocalPhotos::photoFiles(const QString& folder)
{
    QStringList names;
    // QDir::Files leaves folders out, also ones named "Trip.jpg": they are no photos.
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : entries) {
        if (isPhotoName(name) && !PhotoFileNames::isAppFileName(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
    if (names.size() > maxPhotos)
        names.resize(maxPhotos);
    QStringList files;
    files.reserve(names.size());
    const QString prefix = QDir::cleanPath(folder) + u'/';
    for (const QString& name : std::as_const(names))
        files.append(prefix + name);
    return files;
}

QCoro::Task<std::optional<QString>> LocalPhotos::chooseFolder(Pickers& pickers, const QString& message)
{
    Pickers::FolderRequest request;
    request.message = message;
    request.acceptLabel = tr("Choose");
    request.canCreateFolders = false;
    return pickers.chooseFolder(std::move(request));
}

QCoro::Task<QStringList> LocalPhotos::choosePhotos(Pickers& pickers)
{
    Pickers::FilesRequest request;
    request.acceptLabel = tr("Add");
    request.nameFilters = QStringList{tr("JPEG images (*.jpg *.jpeg *.JPG *.JPEG)")};
    return pickers.chooseFiles(std::move(request));
}

int LocalPhotos::importPhotos(const QStringList& files, const QString& folder)
{
    QDir().mkpath(folder);
    int copied = 0;
    for (const QString& file : files) {
        QString base = QFileInfo(file).completeBaseName();
        if (PhotoFileNames::isAppFileName(base + u".jpg"_s))
            base += u'x';
        QString destination = folder + u'/' + base + u".jpg"_s;
        for (int n = 2; LibraryFiles::existsNoFollow(destination); ++n)
            destination = folder + u'/' + base + u' ' + QString::number(n) + u".jpg"_s;
        QFile source(file);
        if (!source.copy(destination)) {
            log().error(u"copy failed: "_s + source.errorString());
            continue;
        }
        ++copied;
    }
    return copied;
}

QStringList LocalPhotos::linkedFolders(const Defaults& defaults)
{
    QStringList folders;
    for (const QVariant& folder : storedLinks(defaults))
        folders.append(QFile::decodeName(folder.toByteArray()));
    return folders;
}

bool LocalPhotos::isOwnFile(const QString& path, const QString& photoDirectory, const Defaults& defaults)
{
    const QString file = QFileInfo(path).canonicalFilePath();
    if (file.isEmpty())
        return false;
    QStringList folders = linkedFolders(defaults);
    folders.append(photoDirectory);
    return std::any_of(folders.cbegin(), folders.cend(), [&](const QString& folder) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        return !canonical.isEmpty() && file.startsWith(canonical + u'/');
    });
}

void LocalPhotos::recordLink(Defaults& defaults, qint64 playlistId, const QString& folder)
{
    QVariantMap links = storedLinks(defaults);
    links.insert(QString::number(playlistId), QFile::encodeName(QDir::cleanPath(folder)));
    defaults.setValue(keys::linkedFolderBookmarks, links);
}

void LocalPhotos::unlinkFolder(Defaults& defaults, qint64 playlistId)
{
    QVariantMap links = storedLinks(defaults);
    links.remove(QString::number(playlistId));
    defaults.setValue(keys::linkedFolderBookmarks, links);
}

LocalPhotos::Fit LocalPhotos::fitMode(const std::optional<QString>& setting, int width, int height)
{
    const QString value = setting.value_or(u"adapt"_s);
    if (value == u"adapt"_s)
        return height >= width ? Fit::fit : Fit::cover;
    if (value == u"cover"_s)
        return Fit::cover;
    if (value == u"fill"_s)
        return Fit::fill;
    return Fit::fit;
}

QRectF LocalPhotos::fittedRect(QSize canvasSize, QSize imageSize, Fit fit)
{
    switch (fit) {
    case Fit::cover:
        return PhotoDecoder::coverRect(canvasSize, imageSize);
    case Fit::fit:
        return PhotoDecoder::containRect(canvasSize, imageSize);
    case Fit::fill:
        break;
    }
    return QRectF(QPointF(0, 0), canvasSize);
}

} // namespace lumi
