#pragma once

#include <QObject>

namespace lumi {

/// Tells when the computer has woken from sleep, on the main thread.
class WakeWatcher : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~WakeWatcher() override = default;

    /// Looks for a sleep the system did not announce. Callers that already wake on a schedule call
    /// it, so the fallback needs no timer of its own.
    virtual void check() = 0;

signals:
    /// The computer has woken; once per sleep.
    void woke();
};

} // namespace lumi
