#include "platform/linux/LogindWakeWatcher.h"

#include "model/AppLog.h"
#include "model/Clock.h"

using namespace Qt::StringLiterals;

namespace lumi {

LogindWakeWatcher::LogindWakeWatcher(const Clock& clock, QDBusConnection systemBus, QObject* parent)
    : WakeWatcher(parent), m_clock(clock), m_slept(sleptSoFar())
{
    if (systemBus.isConnected()) {
        m_listening = systemBus.connect(u"org.freedesktop.login1"_s, u"/org/freedesktop/login1"_s,
                                        u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s, this,
                                        SLOT(prepareForSleep(bool)));
    }
    if (!m_listening)
        AppLog(u"rotation"_s).info(u"logind is not reachable; wake from sleep is noticed by the clocks"_s);
}

std::chrono::milliseconds LogindWakeWatcher::sleptSoFar() const
{
    return m_clock.bootTime() - m_clock.monotonic();
}

void LogindWakeWatcher::check()
{
    const std::chrono::milliseconds slept = sleptSoFar();
    const bool jumped = slept - m_slept >= minimumSleep;
    m_slept = slept;
    if (jumped)
        emit woke();
}

void LogindWakeWatcher::prepareForSleep(bool start)
{
    if (start)
        return;
    // The sleep is accounted for, so the clock fallback does not report it a second time.
    m_slept = sleptSoFar();
    emit woke();
}

} // namespace lumi
