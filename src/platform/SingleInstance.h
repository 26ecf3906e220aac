#pragma once

#include <QCoroTask>
#include <QObject>

namespace lumi {

/// Keeps one copy of the app per user session. A later copy hands over to the running one, which
/// brings its main window forward, and then ends.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~SingleInstance() override = default;

    /// True when no other copy runs: this copy now is the running one and listens for later
    /// copies. False when another copy already runs; call handOver() then.
    virtual bool claim() = 0;
    /// Asks the running copy to show its main window; true when it confirmed. Never throws.
    virtual QCoro::Task<bool> handOver() = 0;

signals:
    /// A later copy asked this one to show its main window.
    void activationRequested();
};

} // namespace lumi
