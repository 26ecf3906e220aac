#pragma once

#include <QObject>

namespace lumi {

/// A one-shot signal a coroutine awaits with qCoro: woken(true) when its time came,
/// woken(false) when it was cancelled.
class WakeSignal final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WakeSignal)

public:
    WakeSignal() = default;

signals:
    void woken(bool elapsed);
};

} // namespace lumi
