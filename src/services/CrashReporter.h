#pragma once

#include "model/AppLog.h"
#include "services/CrashReport.h"

#include <QObject>
#include <QStringList>

#include <memory>

namespace lumi {

/// Receives non-fatal problems and crashes. For now it logs each report and announces it; the
/// spool and the upload come with the system services.
class CrashReporter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CrashReporter)

public:
    CrashReporter();

    static CrashReporter& shared();
    static void setShared(std::unique_ptr<CrashReporter> reporter);

    /// Lower-case hex SHA-256 of the texts joined with "|": one fingerprint per kind of problem.
    static QString fingerprint(const QStringList& parts);

    /// Never throws and returns at once.
    void report(const CrashReport& report);

signals:
    void reported(const lumi::CrashReport& report);

private:
    AppLog m_log;
};

} // namespace lumi
