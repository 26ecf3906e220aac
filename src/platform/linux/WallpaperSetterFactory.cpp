#include "platform/linux/WallpaperSetterFactory.h"

#include "model/AppLog.h"
#include "platform/Paths.h"
#include "platform/linux/GnomeWallpaperSetter.h"
#include "platform/linux/KdeWallpaperSetter.h"
#include "platform/linux/UnsupportedWallpaperSetter.h"
#include "platform/linux/X11RootWallpaperSetter.h"
#include "platform/linux/XfceWallpaperSetter.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

bool isGnomeFamily(const QString& desktop)
{
    static const QStringList family{u"GNOME"_s, u"GNOME-Classic"_s, u"GNOME-Flashback"_s, u"ubuntu"_s,
                                    u"Unity"_s, u"Budgie"_s,        u"Pantheon"_s};
    return family.contains(desktop, Qt::CaseInsensitive);
}

QCoro::Task<QStringList> namesFrom(QDBusConnection bus, QString method)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        u"org.freedesktop.DBus"_s, u"/org/freedesktop/DBus"_s, u"org.freedesktop.DBus"_s, method);
    const QDBusPendingCall pending = bus.asyncCall(call, 5000);
    const QDBusMessage reply = co_await pending;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        co_return QStringList();
    co_return reply.arguments().constFirst().toStringList();
}

QString describe(const DesktopFacts& facts)
{
    const QString desktop = facts.desktops.isEmpty() ? u"unknown desktop"_s : facts.desktops.join(u':');
    return desktop + (facts.wayland ? u", Wayland"_s : facts.x11 ? u", X11"_s : QString());
}

} // namespace

WallpaperBackend WallpaperSetterFactory::choose(const DesktopFacts& facts)
{
    const auto has = [&](const QString& name) { return facts.busNames.contains(name); };
    for (const QString& desktop : facts.desktops) {
        if (desktop.compare(u"KDE"_s, Qt::CaseInsensitive) == 0 && has(u"org.kde.plasmashell"_s))
            return WallpaperBackend::Kde;
        if (desktop.compare(u"XFCE"_s, Qt::CaseInsensitive) == 0 && has(u"org.xfce.Xfconf"_s))
            return WallpaperBackend::Xfce;
        // GNOME without its settings service would keep the picture in memory only.
        if (isGnomeFamily(desktop) && facts.gsettings &&
            (has(u"org.gnome.Shell"_s) || has(u"ca.desrt.dconf"_s)))
            return WallpaperBackend::Gnome;
    }
    // Under Wayland the root window is not what the screen shows.
    if (facts.x11 && !facts.wayland)
        return WallpaperBackend::X11Root;
    return WallpaperBackend::Unsupported;
}

QCoro::Task<DesktopFacts> WallpaperSetterFactory::probe(QDBusConnection bus)
{
    DesktopFacts facts;
    facts.desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':', Qt::SkipEmptyParts);
    facts.wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == u"wayland"_s ||
                    !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    facts.x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    facts.gsettings = !QStandardPaths::findExecutable(u"gsettings"_s).isEmpty();
    if (bus.isConnected()) {
        facts.busNames = co_await namesFrom(bus, u"ListNames"_s);
        facts.busNames += co_await namesFrom(bus, u"ListActivatableNames"_s);
    }
    co_return facts;
}

std::unique_ptr<WallpaperSetter> WallpaperSetterFactory::make(WallpaperBackend backend,
                                                              const Screens& screens, QDBusConnection bus,
                                                              const DesktopFacts& facts)
{
    switch (backend) {
    case WallpaperBackend::Gnome:
        return std::make_unique<GnomeWallpaperSetter>(screens,
                                                      Paths::appDataFolder() + u"/gnome-displays.json"_s);
    case WallpaperBackend::Kde:
        return std::make_unique<KdeWallpaperSetter>(bus);
    case WallpaperBackend::Xfce:
        return std::make_unique<XfceWallpaperSetter>(bus);
    case WallpaperBackend::X11Root:
        return std::make_unique<X11RootWallpaperSetter>();
    case WallpaperBackend::Unsupported:
        break;
    }
    return std::make_unique<UnsupportedWallpaperSetter>(
        u"There is no way to set the wallpaper on this desktop (%1)."_s.arg(describe(facts)));
}

QCoro::Task<std::unique_ptr<WallpaperSetter>> WallpaperSetterFactory::create(const Screens* screens,
                                                                             QDBusConnection bus)
{
    const DesktopFacts facts = co_await probe(bus);
    std::unique_ptr<WallpaperSetter> setter = make(choose(facts), *screens, bus, facts);
    AppLog(u"wallpaper"_s).info(u"setting wallpapers through %1 (%2)"_s.arg(setter->name(), describe(facts)));
    co_return setter;
}

} // namespace lumi
