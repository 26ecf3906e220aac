#pragma once

#include "platform/IdleSource.h"
#include "platform/linux/X11SaverSuspension.h"

#include <QDBusConnection>

#include <memory>

namespace lumi {

/// The idle time from the X server's MIT-SCREEN-SAVER extension; the lock state from logind on
/// the system bus, with the desktop's org.freedesktop.ScreenSaver service on the session bus as
/// the other witness of a lock. Programs keep the screen awake in four places, all asked: logind's
/// idle block inhibitors, GNOME's session manager, the power manager of KDE Plasma and XFCE, and
/// a suspension of the X screen saver. The X server counts every input, pointer motion and key or
/// button releases included. Bus questions are asynchronous, asked together and wait at most
/// `busTimeoutMs`; no answer counts as "no".
class X11IdleSource final : public IdleSource
{
public:
    static constexpr int busTimeoutMs = 500;

    /// Opens an X connection of its own to $DISPLAY; without one (or without the extension) the
    /// user never counts as idle, which is logged once.
    X11IdleSource(QDBusConnection systemBus, QDBusConnection sessionBus);
    ~X11IdleSource() override;
    X11IdleSource(const X11IdleSource&) = delete;
    X11IdleSource& operator=(const X11IdleSource&) = delete;

    QCoro::Task<double> idleSeconds() override;
    QCoro::Task<bool> isScreenLocked() override;
    QCoro::Task<bool> isDisplaySleepBlocked() override;

private:
    struct Display;
    std::unique_ptr<Display> m_display;
    X11SaverSuspension m_suspension;
    QDBusConnection m_systemBus;
    QDBusConnection m_sessionBus;
};

} // namespace lumi
