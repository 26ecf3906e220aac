#pragma once

#include "platform/OlderAppProcesses.h"

namespace lumi {

/// Finds the older app's processes in /proc and ends them with POSIX signals.
class ProcOlderAppProcesses final : public OlderAppProcesses
{
public:
    QList<qint64> running(const QStringList& copies) const override;
    bool isRunning(qint64 pid) const override;
    bool terminate(qint64 pid) override;
    bool kill(qint64 pid) override;
};

} // namespace lumi
