#include "services/CrashReporter.h"

#include <QCryptographicHash>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

std::unique_ptr<CrashReporter>& sharedSlot()
{
    static std::unique_ptr<CrashReporter> reporter;
    return reporter;
}

} // namespace

CrashReporter::CrashReporter() : m_log(u"crash"_s) {}

CrashReporter& CrashReporter::shared()
{
    auto& slot = sharedSlot();
    if (!slot)
        slot = std::make_unique<CrashReporter>();
    return *slot;
}

void CrashReporter::setShared(std::unique_ptr<CrashReporter> reporter) { sharedSlot() = std::move(reporter); }

QString CrashReporter::fingerprint(const QStringList& parts)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(parts.join(u'|').toUtf8(), QCryptographicHash::Sha256).toHex());
}

void CrashReporter::report(const CrashReport& report)
{
    m_log.error(u"["_s + report.process + u"] "_s + report.message);
    emit reported(report);
}

} // namespace lumi
