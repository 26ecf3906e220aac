#pragma once

#include "platform/ProcessControl.h"

namespace lumi {

/// QProcess and QCoreApplication.
class QtProcessControl final : public ProcessControl
{
public:
    bool startDetached(const QString& program, const QStringList& arguments) override;
    qint64 processId() const override;
    QString executable() const override;
    void quit() override;
};

} // namespace lumi
