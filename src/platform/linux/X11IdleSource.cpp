#include "platform/linux/X11IdleSource.h"

#include "model/AppLog.h"

#include <QCoroDBusPendingCall>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString logind = u"org.freedesktop.login1"_s;
// GNOME's inhibitor flag for "the session may not be marked idle".
constexpr uint gnomeIdleFlag = 8;

// The reply's first argument; none on an error, a timeout or no reply at all.
QCoro::Task<std::optional<QVariant>> ask(QDBusConnection bus, QDBusMessage call)
{
    if (!bus.isConnected())
        co_return std::nullopt;
    const QDBusPendingCall pending = bus.asyncCall(call, X11IdleSource::busTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return std::nullopt;
    co_return reply.arguments().constFirst();
}

bool isTrue(const std::optional<QVariant>& answer)
{
    if (!answer)
        return false;
    const QVariant value =
        answer->canConvert<QDBusVariant>() ? answer->value<QDBusVariant>().variant() : *answer;
    return value.metaType() == QMetaType::fromType<bool>() && value.toBool();
}

// logind's inhibitors, a(ssssuu): what, who, why, mode, uid, pid. `what` is a colon-separated list.
bool blocksIdle(const QVariant& inhibitors)
{
    if (!inhibitors.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument list = inhibitors.value<QDBusArgument>();
    if (list.currentType() != QDBusArgument::ArrayType)
        return false;
    bool blocks = false;
    list.beginArray();
    while (!list.atEnd()) {
        QString what, who, why, mode;
        uint uid = 0, pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        blocks = blocks || (what.split(u':').contains(u"idle"_s) && mode == u"block"_s);
    }
    list.endArray();
    return blocks;
}

} // namespace

struct X11IdleSource::Display
{
    ~Display()
    {
        if (connection)
            XCloseDisplay(connection);
    }
    ::Display* connection = nullptr;
    bool extension = false;
};

X11IdleSource::X11IdleSource(QDBusConnection systemBus, QDBusConnection sessionBus)
    : m_display(std::make_unique<Display>()), m_systemBus(std::move(systemBus)),
      m_sessionBus(std::move(sessionBus))
{
    m_display->connection = XOpenDisplay(nullptr);
    int eventBase = 0;
    int errorBase = 0;
    m_display->extension =
        m_display->connection && XScreenSaverQueryExtension(m_display->connection, &eventBase, &errorBase);
    if (!m_display->extension) {
        AppLog(u"player"_s)
            .info(u"the X server reports no idle time (no MIT-SCREEN-SAVER); the saver "
                  u"starts only when asked"_s);
    }
}

X11IdleSource::~X11IdleSource() = default;

QCoro::Task<double> X11IdleSource::idleSeconds()
{
    if (!m_display->extension)
        co_return 0.0;
    // A round trip to the local X server, as short as any of Qt's own.
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    double seconds = 0.0;
    if (info && XScreenSaverQueryInfo(m_display->connection, DefaultRootWindow(m_display->connection), info))
        seconds = double(info->idle) / 1000.0;
    XFree(info);
    co_return seconds;
}

QCoro::Task<bool> X11IdleSource::isScreenLocked()
{
    QDBusMessage hint = QDBusMessage::createMethodCall(logind, u"/org/freedesktop/login1/session/auto"_s,
                                                       u"org.freedesktop.DBus.Properties"_s, u"Get"_s);
    hint << u"org.freedesktop.login1.Session"_s << u"LockedHint"_s;
    const QDBusConnection sessionBus = m_sessionBus;
    if (isTrue(co_await ask(m_systemBus, hint)))
        co_return true;
    const QDBusMessage active =
        QDBusMessage::createMethodCall(u"org.freedesktop.ScreenSaver"_s, u"/org/freedesktop/ScreenSaver"_s,
                                       u"org.freedesktop.ScreenSaver"_s, u"GetActive"_s);
    co_return isTrue(co_await ask(sessionBus, active));
}

QCoro::Task<bool> X11IdleSource::isDisplaySleepBlocked()
{
    if (m_suspension.isHeld())
        co_return true;
    const QDBusMessage list = QDBusMessage::createMethodCall(
        logind, u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"ListInhibitors"_s);
    QDBusMessage gnome =
        QDBusMessage::createMethodCall(u"org.gnome.SessionManager"_s, u"/org/gnome/SessionManager"_s,
                                       u"org.gnome.SessionManager"_s, u"IsInhibited"_s);
    gnome << gnomeIdleFlag;
    const QDBusMessage power = QDBusMessage::createMethodCall(
        u"org.freedesktop.PowerManagement"_s, u"/org/freedesktop/PowerManagement/Inhibit"_s,
        u"org.freedesktop.PowerManagement.Inhibit"_s, u"HasInhibit"_s);
    // All asked at once, so a missing service costs one timeout, not three.
    QCoro::Task<std::optional<QVariant>> inhibitors = ask(m_systemBus, list);
    QCoro::Task<std::optional<QVariant>> gnomeAnswer = ask(m_sessionBus, gnome);
    QCoro::Task<std::optional<QVariant>> powerAnswer = ask(m_sessionBus, power);
    const std::optional<QVariant> held = co_await std::move(inhibitors);
    const bool sessionInhibited = isTrue(co_await std::move(gnomeAnswer));
    const bool powerInhibited = isTrue(co_await std::move(powerAnswer));
    co_return (held && blocksIdle(*held)) || sessionInhibited || powerInhibited;
}

} // namespace lumi
