#pragma once

#include "model/AppLog.h"
#include "model/CrashReport.h"
#include "model/ProblemSink.h"

#include <QObject>

namespace lumi {

/// Receives non-fatal problems and crashes. For now it logs each report and announces it; the
/// spool and the upload come with the system services.
class CrashReporter final : public QObject, public ProblemSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CrashReporter)

public:
    CrashReporter();

    void report(const CrashReport& report) override;

signals:
    void reported(const lumi::CrashReport& report);

private:
    AppLog m_log;
};

} // namespace lumi
