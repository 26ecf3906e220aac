#include "model/SessionTokenFile.h"

#include "model/AppLog.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

AppLog appLog()
{
    return AppLog(u"app"_s);
}

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

// Writes the bytes to a sibling temporary file and renames it over the target. mkostemp creates
// the file with mode 0600, so the token is never readable by others, not even through a handle
// opened before a later chmod.
bool writePrivateFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    QByteArray temporary = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        *error = u"can't create a temporary file: "_s + lastError();
        return false;
    }
    bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0;
    if (!ok)
        *error = u"can't restrict permissions: "_s + lastError();
    if (ok && !(ok = writeAll(fd, bytes)))
        *error = u"can't write: "_s + lastError();
    if (ok && !(ok = ::fsync(fd) == 0))
        *error = u"can't flush: "_s + lastError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        *error = u"can't close: "_s + lastError();
    }
    if (ok && !(ok = ::rename(temporary.constData(), QFile::encodeName(path).constData()) == 0))
        *error = u"can't move into place: "_s + lastError();
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}

} // namespace

QString SessionTokenFile::filePath()
{
    return Paths::appDataFolder() + u"/session-token"_s;
}

bool SessionTokenFile::save(const QString& token)
{
    const QString path = filePath();
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        appLog().error(u"can't save the session token: can't create "_s + folder);
        return false;
    }
    QString error;
    if (!writePrivateFileAtomically(path, token.toUtf8(), &error)) {
        appLog().error(u"can't save the session token to "_s + path + u": "_s + error);
        return false;
    }
    return true;
}

void SessionTokenFile::remove()
{
    QFile file(filePath());
    if (!file.exists())
        return;
    if (!file.remove())
        appLog().error(u"can't delete the session token "_s + file.fileName() + u": "_s + file.errorString());
}

std::optional<QString> SessionTokenFile::load()
{
    QFile file(filePath());
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        appLog().error(u"can't read the session token "_s + file.fileName() + u": "_s + file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    // Stateless, so a sequence cut off at the end counts as an error too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString token = QString(decoder.decode(bytes)).trimmed();
    if (decoder.hasError()) {
        appLog().error(u"the session token file is not UTF-8; ignoring it"_s);
        return std::nullopt;
    }
    if (token.isEmpty())
        return std::nullopt;
    return token;
}

} // namespace lumi
