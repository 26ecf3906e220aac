#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace lumi {

/// One non-fatal problem or crash, as handed to the crash reporter.
struct CrashReport
{
    QString process;
    QString message;
    QString stack;
    QString fingerprint;
    QString version;
    QDateTime occurredAt;
    std::optional<QString> breadcrumbs;
};

} // namespace lumi
