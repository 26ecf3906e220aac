#pragma once

#include "platform/ProcessControl.h"

namespace lumi::test {

/// The seam that keeps a test from starting a shell and quitting: records both.
class RecordingProcessControl final : public ProcessControl
{
public:
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        started.append(program);
        started.append(arguments);
        return true;
    }
    qint64 processId() const override { return 4242; }
    QString executable() const override { return QStringLiteral("/opt/lumivale/lumivale"); }
    void quit() override { ++quits; }

    QStringList started;
    int quits = 0;
};

} // namespace lumi::test
