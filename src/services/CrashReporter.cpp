#include "services/CrashReporter.h"

using namespace Qt::StringLiterals;

namespace lumi {

CrashReporter::CrashReporter() : m_log(u"crash"_s) {}

void CrashReporter::report(const CrashReport& report)
{
    m_log.error(u"["_s + report.process + u"] "_s + report.message);
    emit reported(report);
}

} // namespace lumi
