#include "model/CrashReport.h"

#include "model/DeviceInfo.h"

#include <QCryptographicHash>

namespace lumi {

CrashReport CrashReport::problem(const QString& process, const QString& message, const QString& stack,
                                 const QDateTime& occurredAt)
{
    return CrashReport{
        .process = process,
        .message = message,
        .stack = stack,
        .fingerprint = fingerprintOf({process, message}),
        .version = DeviceInfo::appVersion(),
        .occurredAt = occurredAt,
        .breadcrumbs = std::nullopt,
    };
}

QString CrashReport::fingerprintOf(const QStringList& parts)
{
    // Eight bytes keep the key short and still tell apart every kind of problem the app meets.
    return QString::fromLatin1(
        QCryptographicHash::hash(parts.join(u'|').toUtf8(), QCryptographicHash::Sha256).first(8).toHex());
}

} // namespace lumi
