#include "model/AppLog.h"

#include "model/LogStore.h"

#include <cstdio>

namespace lumi {

void AppLog::log(const QString& message, char letter) const
{
    const QByteArray systemLine =
        "lumivale " + QByteArray(1, letter) + " [" + m_category.toUtf8() + "] " + message.toUtf8() + '\n';
    std::fwrite(systemLine.constData(), 1, size_t(systemLine.size()), stderr);
    LogStore::shared().append(QChar::fromLatin1(letter), m_category, message);
}

} // namespace lumi
