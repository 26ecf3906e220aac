#include "library/LibraryFiles.h"

#include "model/InFlightFiles.h"
#include "model/TemporaryName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString dsStore = u".DS_Store"_s;

bool lstatMode(const QString& path, mode_t* mode)
{
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    *mode = info.st_mode;
    return true;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Opens a fresh temporary file next to destination; O_EXCL, so nothing already there is reused.
bool openTemporary(QFile& file, const QString& destination, QString* error)
{
    file.setFileName(TemporaryName::nextTo(destination));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return true;
    setError(error, file.errorString());
    return false;
}

bool commitTemporary(QFile& file, const QString& destination, QString* error)
{
    // The reason is read before closing: a closed file no longer knows it.
    const bool flushed = file.flush() && file.error() == QFileDevice::NoError;
    const QString reason = file.errorString();
    file.close();
    if (!flushed || file.error() != QFileDevice::NoError) {
        setError(error, flushed ? file.errorString() : reason);
        QFile::remove(file.fileName());
        return false;
    }
    if (!LibraryFiles::replace(file.fileName(), destination, error)) {
        QFile::remove(file.fileName());
        return false;
    }
    return true;
}

} // namespace

bool LibraryFiles::existsNoFollow(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode);
}

bool LibraryFiles::isRealDirectory(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode) && S_ISDIR(mode);
}

bool LibraryFiles::isRealFile(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode) && S_ISREG(mode);
}

bool LibraryFiles::removeFileOrLink(const QString& path)
{
    mode_t mode = 0;
    if (!lstatMode(path, &mode) || !(S_ISREG(mode) || S_ISLNK(mode)))
        return false;
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool LibraryFiles::removeFolderIfEmpty(const QString& folder)
{
    if (!isRealDirectory(folder))
        return false;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry != dsStore)
            return false;
    }
    for (const QString& entry : entries) {
        if (!removeFileOrLink(folder + u'/' + entry))
            return false;
    }
    // rmdir refuses a folder that is not empty, so an unreadable listing never costs anything.
    return ::rmdir(QFile::encodeName(folder).constData()) == 0;
}

bool LibraryFiles::linkInto(const QString& source, const QString& destination, QString* error)
{
    const QString temporary = TemporaryName::nextTo(destination);
    if (::linkat(AT_FDCWD, QFile::encodeName(source).constData(), AT_FDCWD,
                 QFile::encodeName(temporary).constData(), AT_SYMLINK_FOLLOW) != 0) {
        setError(error, systemError());
        return false;
    }
    if (!replace(temporary, destination, error)) {
        ::unlink(QFile::encodeName(temporary).constData());
        return false;
    }
    return true;
}

int LibraryFiles::linkNew(const QString& source, const QString& destination)
{
    if (::linkat(AT_FDCWD, QFile::encodeName(source).constData(), AT_FDCWD,
                 QFile::encodeName(destination).constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    return errno;
}

bool LibraryFiles::copyInto(const QString& source, const QString& destination, QString* error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        setError(error, in.errorString());
        return false;
    }
    QFile out;
    if (!openTemporary(out, destination, error))
        return false;
    const InFlightFiles::Claim claim(out.fileName());
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(buffer.data(), buffer.size());
        if (read < 0) {
            setError(error, in.errorString());
            out.close();
            QFile::remove(out.fileName());
            return false;
        }
        if (read == 0)
            break;
        if (!writeAll(out, QByteArrayView(buffer.constData(), read), error)) {
            out.close();
            QFile::remove(out.fileName());
            return false;
        }
    }
    return commitTemporary(out, destination, error);
}

bool LibraryFiles::writeAll(QFileDevice& file, QByteArrayView data, QString* error)
{
    // A short write is no failure yet: the next one tells why the file took no more.
    while (!data.isEmpty()) {
        const qint64 written = file.write(data.data(), data.size());
        if (written <= 0) {
            setError(error, file.errorString());
            return false;
        }
        data = data.sliced(written);
    }
    return true;
}

bool LibraryFiles::replace(const QString& from, const QString& to, QString* error)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    setError(error, systemError());
    return false;
}

std::optional<QString> LibraryFiles::resolvedPath(const QString& cleanPath)
{
    QString existing = cleanPath;
    QString rest;
    while (!QFileInfo::exists(existing)) {
        if (QFileInfo(existing).isSymLink())
            return std::nullopt;
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0)
            return cleanPath;
        rest = existing.mid(slash) + rest;
        existing = existing.left(slash);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        return std::nullopt;
    return canonical + rest;
}

int LibraryFiles::removeLeftovers(const QString& folder)
{
    int removed = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const bool temporary = TemporaryName::isTemporary(name);
        const bool part = name.endsWith(u".jpg.part"_s);
        if ((temporary || part) && removeFileOrLink(folder + u'/' + name))
            ++removed;
    }
    return removed;
}

} // namespace lumi
