#include "platform/linux/XfceWallpaperSetter.h"

#include <QCoroDBusPendingCall>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <vector>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString channel = u"xfce4-desktop"_s;
// xfdesktop's image styles: 5 is "zoomed" (fill, cropped).
constexpr int zoomed = 5;

QDBusMessage xfconfCall(const QString& method)
{
    return QDBusMessage::createMethodCall(u"org.xfce.Xfconf"_s, u"/org/xfce/Xfconf"_s, u"org.xfce.Xfconf"_s,
                                          method);
}

QDBusMessage setProperty(const QString& property, const QVariant& value)
{
    QDBusMessage call = xfconfCall(u"SetProperty"_s);
    call << channel << property << QVariant::fromValue(QDBusVariant(value));
    return call;
}

// The workspaces that already have settings for the monitor; workspace0 always.
QStringList workspaces(const QDBusMessage& reply, const QString& base)
{
    QSet<QString> found{u"workspace0"_s};
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        const QRegularExpression pattern(u"^"_s + QRegularExpression::escape(base) + u"/(workspace\\d+)/"_s);
        const auto properties = qdbus_cast<QVariantMap>(reply.arguments().constFirst());
        for (auto it = properties.constBegin(); it != properties.constEnd(); ++it) {
            const QRegularExpressionMatch match = pattern.match(it.key());
            if (match.hasMatch())
                found.insert(match.captured(1));
        }
    }
    QStringList names(found.begin(), found.end());
    names.sort();
    return names;
}

} // namespace

XfceWallpaperSetter::XfceWallpaperSetter(QDBusConnection bus) : m_bus(std::move(bus)) {}

QString XfceWallpaperSetter::name() const
{
    return u"XFCE desktop settings"_s;
}

QCoro::Task<WallpaperSetResult> XfceWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    if (!QFileInfo(request.file).isFile())
        co_return WallpaperSetResult::failure(u"the picture %1 does not exist"_s.arg(request.file));
    const QString base = u"/backdrop/screen0/monitor"_s + request.display.name;

    // A monitor without settings yet answers with an error; workspace0 is written regardless.
    QDBusMessage list = xfconfCall(u"GetAllProperties"_s);
    list << channel << base;
    const QDBusPendingCall listing = m_bus.asyncCall(list, 10000);
    const QDBusMessage existing = co_await listing;

    std::vector<QDBusPendingCall> writes;
    for (const QString& workspace : workspaces(existing, base)) {
        const QString prefix = base + u'/' + workspace;
        writes.push_back(m_bus.asyncCall(setProperty(prefix + u"/image-style"_s, zoomed), 10000));
        writes.push_back(m_bus.asyncCall(setProperty(prefix + u"/last-image"_s, request.file), 10000));
    }
    QString failure;
    for (const QDBusPendingCall& write : writes) {
        const QDBusMessage reply = co_await write;
        if (reply.type() == QDBusMessage::ErrorMessage && failure.isEmpty())
            failure = u"xfconf refused the wallpaper: %1"_s.arg(reply.errorMessage());
    }
    if (!failure.isEmpty())
        co_return WallpaperSetResult::failure(failure);
    m_pictures.insert(request.display.name, request.file);
    co_return WallpaperSetResult::success();
}

} // namespace lumi
