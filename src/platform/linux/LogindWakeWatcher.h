#pragma once

#include "platform/WakeWatcher.h"

#include <QDBusConnection>

#include <chrono>

namespace lumi {

class Clock;

/// Wake from sleep as logind announces it (PrepareForSleep(false) on the system bus). Without
/// logind, a sleep shows as a jump of the boot-time clock against the monotonic one, which stands
/// still while the computer sleeps; check() looks for that jump.
class LogindWakeWatcher final : public WakeWatcher
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LogindWakeWatcher)

public:
    /// Shorter jumps are scheduling noise, not a sleep.
    static constexpr std::chrono::seconds minimumSleep{5};

    /// clock must outlive the watcher. An unreachable bus leaves only the clock fallback.
    LogindWakeWatcher(const Clock& clock, QDBusConnection systemBus, QObject* parent = nullptr);

    void check() override;
    /// Whether logind's announcements are being received.
    bool listensToLogind() const { return m_listening; }

private slots:
    void prepareForSleep(bool start);

private:
    std::chrono::milliseconds sleptSoFar() const;

    const Clock& m_clock;
    std::chrono::milliseconds m_slept;
    bool m_listening = false;
};

} // namespace lumi
