#include "platform/linux/KdeWallpaperSetter.h"

#include <QCoroDBusPendingCall>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// A JavaScript string literal for any text.
QString literal(const QString& text)
{
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

} // namespace

KdeWallpaperSetter::KdeWallpaperSetter(QDBusConnection bus) : m_bus(std::move(bus)) {}

QString KdeWallpaperSetter::name() const
{
    return u"KDE Plasma"_s;
}

QString KdeWallpaperSetter::script(const WallpaperRequest& request)
{
    const QRect& g = request.display.geometry;
    // Plasma numbers screens its own way; the geometry (in the same logical pixels as Qt's) tells
    // which desktop shows the display. FillMode 2 is "scaled and cropped".
    return uR"js(var image = %1;
var changed = 0;
desktops().forEach(function (desktop) {
    if (desktop.screen < 0)
        return;
    var g = screenGeometry(desktop.screen);
    if (Math.round(g.x) != %2 || Math.round(g.y) != %3 || Math.round(g.width) != %4 || Math.round(g.height) != %5)
        return;
    desktop.wallpaperPlugin = "org.kde.image";
    desktop.currentConfigGroup = ["Wallpaper", "org.kde.image", "General"];
    desktop.writeConfig("Image", image);
    desktop.writeConfig("FillMode", 2);
    changed++;
});
if (changed == 0)
    throw new Error("no desktop shows the screen at %2,%3 %4x%5");
print("changed " + changed);
)js"_s.arg(literal(QUrl::fromLocalFile(request.file).toString(QUrl::FullyEncoded)))
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

QCoro::Task<WallpaperSetResult> KdeWallpaperSetter::setWallpaper(WallpaperRequest request)
{
    if (!QFileInfo(request.file).isFile())
        co_return WallpaperSetResult::failure(u"the picture %1 does not exist"_s.arg(request.file));
    QDBusMessage call = QDBusMessage::createMethodCall(u"org.kde.plasmashell"_s, u"/PlasmaShell"_s,
                                                       u"org.kde.PlasmaShell"_s, u"evaluateScript"_s);
    call << script(request);
    const QDBusPendingCall pending = m_bus.asyncCall(call, 15000);
    const QDBusMessage reply = co_await pending;
    if (reply.type() == QDBusMessage::ErrorMessage)
        co_return WallpaperSetResult::failure(
            u"Plasma refused the wallpaper: %1"_s.arg(reply.errorMessage()));
    const QString output = reply.arguments().value(0).toString();
    if (!output.contains(u"changed "_s))
        co_return WallpaperSetResult::failure(
            u"Plasma did not run the wallpaper script (it answered \"%1\")"_s.arg(output));
    m_pictures.insert(request.display.name, request.file);
    co_return WallpaperSetResult::success();
}

} // namespace lumi
