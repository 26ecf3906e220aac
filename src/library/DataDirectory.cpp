#include "library/DataDirectory.h"

#include "library/LibraryFiles.h"
#include "library/LibraryLayout.h"
#include "library/PlaylistFolders.h"
#include "library/SyncPause.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Paths.h"
#include "platform/Pickers.h"
#include "platform/ProcessControl.h"
#include "platform/Trash.h"

#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QUuid>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QStringList photoFolderNames{LibraryLayout::appFolderName, LibraryLayout::playlistFolderName};

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString resolved(const QString& cleanPath)
{
    return LibraryFiles::resolvedPath(cleanPath).value_or(cleanPath);
}

// Copies one item of a photo folder. Files with several names in the tree (a photo and its links
// in the wallpaper and saver folders) stay one file with several names in the copy.
class TreeCopy final
{
public:
    std::optional<QString> copy(const QString& from, const QString& to)
    {
        const QByteArray fromName = QFile::encodeName(from);
        const QByteArray toName = QFile::encodeName(to);
        struct stat info = {};
        if (::lstat(fromName.constData(), &info) != 0)
            return failure(from, to, systemError());
        if (S_ISLNK(info.st_mode)) {
            QByteArray target(4096, '\0');
            const ssize_t length = ::readlink(fromName.constData(), target.data(), size_t(target.size()));
            if (length < 0)
                return failure(from, to, systemError());
            target.truncate(length);
            if (::symlink(target.constData(), toName.constData()) != 0)
                return failure(from, to, systemError());
            return std::nullopt;
        }
        if (S_ISDIR(info.st_mode)) {
            if (::mkdir(toName.constData(), 0777) != 0)
                return failure(from, to, systemError());
            const QStringList names =
                QDir(from).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& name : names) {
                if (std::optional<QString> error = copy(from + u'/' + name, to + u'/' + name))
                    return error;
            }
            return std::nullopt;
        }
        if (!S_ISREG(info.st_mode))
            return std::nullopt; // sockets and pipes are no photos
        const QString key = QString::number(info.st_dev) + u':' + QString::number(info.st_ino);
        if (info.st_nlink > 1) {
            const QString first = m_copied.value(key);
            if (!first.isEmpty() && ::link(QFile::encodeName(first).constData(), toName.constData()) == 0)
                return std::nullopt;
        }
        QFile source(from);
        if (!source.copy(to))
            return failure(from, to, source.errorString());
        if (info.st_nlink > 1)
            m_copied.insert(key, to);
        return std::nullopt;
    }

private:
    static QString failure(const QString& from, const QString& to, const QString& reason)
    {
        return u"%1 → %2: %3"_s.arg(from, to, reason);
    }

    QHash<QString, QString> m_copied;
};

} // namespace

DataDirectory::ChangeError::ChangeError(Kind kind, QString detail)
    : m_kind(kind), m_detail(std::move(detail)), m_what(message().toUtf8())
{
}

QString DataDirectory::ChangeError::message() const
{
    switch (m_kind) {
    case Kind::copy:
        return tr("Failed to copy files to new directory: ") + m_detail;
    case Kind::same:
        return tr("That is already the photo directory. Please select a different directory.");
    case Kind::cloud:
        return tr("Please choose a folder that isn't synced by OneDrive, Dropbox or Google Drive.");
    case Kind::notWritable:
        return tr("Lumivale can't write to that folder. Please select a different directory.");
    case Kind::inside:
        return tr("Please choose a folder outside the current Lumivale folders.");
    }
    return QString();
}

DataDirectory::DataDirectory(Defaults& defaults, Pickers& pickers, Trash& trash, ProcessControl& processes)
    : m_defaults(defaults), m_pickers(pickers), m_trash(trash), m_processes(processes)
{
}

const AppLog& DataDirectory::log()
{
    static const AppLog log(u"data-dir"_s);
    return log;
}

QString DataDirectory::current(const Defaults& defaults)
{
    const QString stored = defaults.stringValue(keys::dataDir).value_or(QString());
    if (!stored.isEmpty()) {
        const QString path = QDir::cleanPath(stored);
        if (QDir::isAbsolutePath(path) && isWritable(path))
            return path;
        log().error(u"data-dir "_s + stored + u" isn't writable, using the default"_s);
    }
    const QString documents = QDir::cleanPath(Paths::documentsFolder());
    if (!isCloudSynced(documents) && isWritable(documents))
        return documents;
    return QDir::cleanPath(Paths::appDataFolder());
}

bool DataDirectory::isWritable(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    const QString probe =
        folder + u"/.lumivale-write-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    const bool written = file.write("test") == 4;
    file.close();
    const bool removed = QFile::remove(probe);
    return written && file.error() == QFileDevice::NoError && removed;
}

bool DataDirectory::isCloudSynced(const QString& folder)
{
    static const QRegularExpression cloud(
        u"onedrive|icloud|dropbox|google drive|mobile documents|cloudstorage"_s,
        QRegularExpression::CaseInsensitiveOption);
    // Through a symbolic link too: Documents is often a link into a synced folder.
    const QString clean = QDir::cleanPath(folder);
    return cloud.match(clean).hasMatch() || cloud.match(resolved(clean)).hasMatch();
}

bool DataDirectory::hasPhotoFolders(const QString& folder)
{
    for (const QString& name : photoFolderNames) {
        if (LibraryFiles::existsNoFollow(folder + u'/' + name))
            return true;
    }
    return false;
}

std::optional<QString> DataDirectory::copyPhotoFolders(const QString& from, const QString& to)
{
    TreeCopy tree;
    for (const QString& name : photoFolderNames) {
        const QString source = from + u'/' + name;
        if (!LibraryFiles::existsNoFollow(source))
            continue;
        const QString target = to + u'/' + name;
        if (LibraryFiles::existsNoFollow(target))
            return u"%1 already exists"_s.arg(target);
        if (std::optional<QString> error = tree.copy(source, target))
            return error;
    }
    return std::nullopt;
}

QCoro::Task<std::optional<QString>> DataDirectory::choose()
{
    Pickers::FolderRequest request;
    request.message = tr("Choose a directory where Lumivale can store photos");
    request.acceptLabel = tr("Select");
    request.startFolder = current();
    request.canCreateFolders = true;
    co_return co_await m_pickers.chooseFolder(std::move(request));
}

QCoro::Task<void> DataDirectory::change(QString newFolder, SyncPause* sync)
{
    using Kind = ChangeError::Kind;
    const QString old = QDir::cleanPath(current());
    const QString target = QDir::cleanPath(newFolder);
    // Compared as written and as resolved, so a symbolic link to the same place is the same place.
    const QString resolvedOld = resolved(old);
    const QString resolvedTarget = resolved(target);
    if (target == old || resolvedTarget == resolvedOld)
        throw ChangeError(Kind::same);
    // A photo folder itself, or anything inside one: the copy would recurse into itself and the
    // clean-up of the old folders would trash the new directory.
    for (const QString& name : photoFolderNames) {
        const QString folder = old + u'/' + name;
        if (PlaylistFolders::isWithin(target, folder) ||
            PlaylistFolders::isWithin(resolvedTarget, resolved(folder)))
            throw ChangeError(Kind::inside);
    }
    if (isCloudSynced(target))
        throw ChangeError(Kind::cloud);
    if (!QDir::isAbsolutePath(target) || !isWritable(target))
        throw ChangeError(Kind::notWritable);

    // No pass may write into the old folders while they are copied, nor into them afterwards.
    if (sync)
        co_await sync->pauseSync();
    if (!hasPhotoFolders(target)) {
        const std::optional<QString> failure =
            co_await QtConcurrent::run(&DataDirectory::copyPhotoFolders, old, target);
        if (failure) {
            if (sync)
                sync->resumeSync();
            throw ChangeError(Kind::copy, *failure);
        }
    }
    m_defaults.setValue(keys::dataDir, target);
    log().info(u"photo directory moved from "_s + old + u" to "_s + target);
}

void DataDirectory::trashOldFolders(const QString& oldFolder)
{
    const QString old = QDir::cleanPath(oldFolder);
    const QString currentDir = resolved(current());
    QStringList protectedFolders{currentDir};
    for (const QString& name : photoFolderNames)
        protectedFolders.append(resolved(currentDir + u'/' + name));
    for (const QString& name : photoFolderNames) {
        const QString folder = old + u'/' + name;
        if (!LibraryFiles::existsNoFollow(folder))
            continue;
        const QString resolvedFolder = resolved(folder);
        const bool inUse =
            std::any_of(protectedFolders.cbegin(), protectedFolders.cend(), [&](const QString& path) {
                return PlaylistFolders::isWithin(path, resolvedFolder) ||
                       (path != currentDir && PlaylistFolders::isWithin(resolvedFolder, path));
            });
        if (inUse) {
            log().error(u"old "_s + name + u" not moved to the Trash: the current photo directory uses it"_s);
            continue;
        }
        if (const std::optional<QString> error = m_trash.moveToTrash(folder))
            log().error(u"old "_s + name + u" not moved to the Trash: "_s + *error);
    }
}

void DataDirectory::relaunch()
{
    if (!m_processes.startDetached(u"/bin/sh"_s,
                                   relaunchArguments(m_processes.processId(), m_processes.executable())))
        log().error(u"relaunch helper did not start"_s);
    m_processes.quit();
}

QStringList DataDirectory::relaunchArguments(qint64 processId, const QString& executable)
{
    return {u"-c"_s, u"while kill -0 \"$1\" 2>/dev/null; do sleep 0.2; done; exec \"$2\""_s, u"sh"_s,
            QString::number(processId), executable};
}

} // namespace lumi
