#include "platform/linux/FreedesktopNotifier.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QVariantMap>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString service = u"org.freedesktop.Notifications"_s;
const QString path = u"/org/freedesktop/Notifications"_s;
constexpr int capabilitiesTimeoutMs = 2000;
constexpr int notifyTimeoutMs = 10000;
constexpr int allowed = 2;
constexpr int notAllowed = 1;

QDBusMessage method(const QString& name)
{
    return QDBusMessage::createMethodCall(service, path, service, name);
}

} // namespace

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection bus, QObject* parent)
    : Notifier(parent), m_bus(std::move(bus))
{
    m_bus.connect(service, path, service, u"ActionInvoked"_s, this, SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(service, path, service, u"NotificationClosed"_s, this,
                  SLOT(onNotificationClosed(uint, uint)));
}

QCoro::Task<std::optional<QStringList>> FreedesktopNotifier::capabilities()
{
    const QDBusPendingCall pending = m_bus.asyncCall(method(u"GetCapabilities"_s), capabilitiesTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage)
        co_return std::nullopt;
    co_return reply.arguments().value(0).toStringList();
}

QCoro::Task<int> FreedesktopNotifier::authorizationStatus()
{
    co_return (co_await capabilities()) ? allowed : notAllowed;
}

QCoro::Task<Notifier::Posted> FreedesktopNotifier::post(QString title, QString body, QString imagePath)
{
    const std::optional<QStringList> offered = co_await capabilities();
    // A server that reads markup would take "<" and "&" of a photo's title as tags.
    if (offered && offered->contains(u"body-markup"_s))
        body = body.toHtmlEscaped();
    QVariantMap hints{{u"desktop-entry"_s, u"lumivale-desktop"_s}};
    if (!imagePath.isEmpty())
        hints.insert(u"image-path"_s, imagePath);
    QDBusMessage notify = method(u"Notify"_s);
    notify << u"Lumivale"_s << uint(0) << QString() << title << body << QStringList{u"default"_s, tr("Open")}
           << hints << int(-1);
    const QDBusPendingCall pending = m_bus.asyncCall(notify, notifyTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage)
        co_return Posted{.id = 0,
                         .error = reply.errorMessage().isEmpty() ? u"no notification service"_s
                                                                 : reply.errorMessage()};
    co_return Posted{.id = reply.arguments().value(0).toUInt(), .error = {}};
}

void FreedesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    if (action == u"default"_s)
        emit clicked(id);
}

void FreedesktopNotifier::onNotificationClosed(uint id, uint)
{
    emit closed(id);
}

} // namespace lumi
