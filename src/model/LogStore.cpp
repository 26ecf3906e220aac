#include "model/LogStore.h"

#include "platform/Paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

std::unique_ptr<LogStore>& sharedSlot()
{
    static std::unique_ptr<LogStore> store;
    return store;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

LogStore::LogStore(QString folder)
    : m_file(folder + u"/lumivale.log"_s), m_previous(folder + u"/lumivale.log.1"_s)
{
    QDir().mkpath(folder);
}

LogStore& LogStore::shared()
{
    auto& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<LogStore>(Paths::appDataFolder() + u"/Logs"_s);
    return *slot;
}

void LogStore::setShared(std::unique_ptr<LogStore> store)
{
    sharedSlot() = std::move(store);
}

void LogStore::append(QChar letter, const QString& category, const QString& message)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    const QString line = stamp + u' ' + letter + u" ["_s + category + u"] "_s + message;
    QMutexLocker lock(&m_mutex);
    m_recent.append(line);
    if (m_recent.size() > recentLimit)
        m_recent.remove(0, m_recent.size() - recentLimit);
    writeLineLocked(line + u'\n');
}

void LogStore::writeLine(const QString& text)
{
    QMutexLocker lock(&m_mutex);
    writeLineLocked(text);
}

void LogStore::writeLineLocked(const QString& text)
{
    const QFileInfo info(m_file);
    if (info.exists() && info.size() > rotateAbove) {
        QFile::remove(m_previous);
        QFile::rename(m_file, m_previous);
    }
    QFile file(m_file);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(text.toUtf8());
}

QString LogStore::tail(qint64 maxBytes) const
{
    QMutexLocker lock(&m_mutex);
    const QByteArray current = readAll(m_file);
    QByteArray bytes;
    if (current.size() >= maxBytes) {
        bytes = current.right(maxBytes);
    } else {
        const QByteArray previous = readAll(m_previous);
        bytes = previous.right(maxBytes - current.size()) + current;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

QStringList LogStore::recent() const
{
    QMutexLocker lock(&m_mutex);
    return m_recent;
}

} // namespace lumi
