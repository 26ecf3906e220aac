#include "platform/linux/KdeWallpaperSetter.h"
#include "support/FakeScreens.h"
#include "support/PrivateSessionBus.h"

#include <QCoroTask>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Stands in for Plasma's desktop scripting, which can't run here: two screens, four desktop
// containments (the left screen has one in each of two activities, one desktop is on no screen).
const char* const plasmaModel = R"js(
var __screens = [{x: 0, y: 0, width: 1920, height: 1080}, {x: 1920, y: 0, width: 1280, height: 1024}];
var __output = "";
function print(text) { __output += text + "\n"; }
function screenGeometry(id) { return __screens[id]; }
function Desktop(id, screen) { this.id = id; this.screen = screen; this.wallpaperPlugin = "org.kde.color";
    this.currentConfigGroup = []; this.config = {}; }
Desktop.prototype.writeConfig = function (key, value) { this.config[this.currentConfigGroup.concat([key]).join("/")] = value; };
var __desktops = [new Desktop(1, 0), new Desktop(2, 1), new Desktop(3, 0), new Desktop(4, -1)];
function desktops() { return __desktops; }
var __result = {};
try { eval(__script); __result.output = __output; } catch (e) { __result.error = String(e.message); }
__result.desktops = __desktops.map(function (d) { return {id: d.id, plugin: d.wallpaperPlugin, config: d.config}; });
process.stdout.write(JSON.stringify(__result));
)js";

} // namespace

/// A fake org.kde.PlasmaShell (Plasma can't run here): it runs the script it receives against a
/// small model of Plasma's desktops when a JavaScript engine (node) is installed, and records it.
class FakePlasmaShell final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.PlasmaShell")

public:
    bool locked = false;
    QJsonArray desktops;

public slots:
    QString evaluateScript(const QString& script)
    {
        if (locked) {
            sendErrorReply(QDBusError::Failed, u"Widgets are locked"_s);
            return {};
        }
        QProcess node;
        const QString scriptLiteral =
            QString::fromUtf8(QJsonDocument(QJsonArray{script}).toJson(QJsonDocument::Compact));
        node.start(u"node"_s, {u"-e"_s, u"var __script = "_s + scriptLiteral + u"[0];"_s +
                                            QString::fromUtf8(plasmaModel)});
        node.waitForFinished(20000);
        const QJsonObject result = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
        desktops = result.value(u"desktops"_s).toArray();
        if (result.contains(u"error"_s)) {
            sendErrorReply(QDBusError::Failed, result.value(u"error"_s).toString());
            return {};
        }
        return result.value(u"output"_s).toString();
    }
};

class KdeWallpaperSetterTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setsTheDesktopsOfTheScreen_data();
    void setsTheDesktopsOfTheScreen();
    void failuresAreReported_data();
    void failuresAreReported();

private:
    std::unique_ptr<test::PrivateSessionBus> m_bus;
    QTemporaryDir m_files;
    QString m_picture;
};

void KdeWallpaperSetterTest::initTestCase()
{
    m_bus = std::make_unique<test::PrivateSessionBus>();
    QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
    QVERIFY(m_bus->connect(u"plasma"_s).isConnected());
    QVERIFY(m_bus->connect(u"app"_s).isConnected());
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    m_picture = m_files.filePath(u"a picture-64x64-1.jpg"_s);
    QVERIFY(picture.save(m_picture));
}

void KdeWallpaperSetterTest::setsTheDesktopsOfTheScreen_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QList<int>>("changed");

    QTest::newRow("right screen") << QRect(1920, 0, 1280, 1024) << QList<int>{2};
    QTest::newRow("left screen, in every activity") << QRect(0, 0, 1920, 1080) << QList<int>{1, 3};
}

void KdeWallpaperSetterTest::setsTheDesktopsOfTheScreen()
{
    QFETCH(QRect, geometry);
    QFETCH(QList<int>, changed);
    if (QStandardPaths::findExecutable(u"node"_s).isEmpty())
        QSKIP("no JavaScript engine (node) to stand in for Plasma's scripting");

    FakePlasmaShell plasma;
    QDBusConnection service = QDBusConnection(u"plasma"_s);
    QVERIFY(service.registerObject(u"/PlasmaShell"_s, &plasma, QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService(u"org.kde.plasmashell"_s));

    KdeWallpaperSetter setter(QDBusConnection(u"app"_s));
    const WallpaperSetResult result =
        QCoro::waitFor(setter.setWallpaper({test::FakeScreens::display(u"DP-1"_s, geometry), m_picture}));
    service.unregisterService(u"org.kde.plasmashell"_s);
    service.unregisterObject(u"/PlasmaShell"_s);

    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(plasma.desktops.size(), 4);
    for (const QJsonValue& value : std::as_const(plasma.desktops)) {
        const QJsonObject desktop = value.toObject();
        const QJsonObject config = desktop.value(u"config"_s).toObject();
        if (!changed.contains(desktop.value(u"id"_s).toInt())) {
            QVERIFY2(config.isEmpty(),
                     qPrintable(u"desktop %1 changed"_s.arg(desktop.value(u"id"_s).toInt())));
            continue;
        }
        QCOMPARE(desktop.value(u"plugin"_s).toString(), u"org.kde.image"_s);
        QCOMPARE(QUrl(config.value(u"Wallpaper/org.kde.image/General/Image"_s).toString()).toLocalFile(),
                 m_picture);
        QCOMPARE(config.value(u"Wallpaper/org.kde.image/General/FillMode"_s).toInt(),
                 2); // scaled and cropped
    }
    QCOMPARE(setter.filesInUse(), QStringList{m_picture});
}

void KdeWallpaperSetterTest::failuresAreReported_data()
{
    QTest::addColumn<QString>("plasma"); // "running", "locked" or "absent"
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("pictureExists");
    QTest::addColumn<QString>("reason");

    QTest::newRow("no desktop on that screen") << u"running"_s << QRect(0, 1080, 800, 600) << true
                                               << u"no desktop shows the screen at 0,1080 800x600"_s;
    QTest::newRow("widgets locked") << u"locked"_s << QRect(0, 0, 1920, 1080) << true
                                    << u"Widgets are locked"_s;
    QTest::newRow("Plasma not running")
        << u"absent"_s << QRect(0, 0, 1920, 1080) << true << u"org.kde.plasmashell"_s;
    QTest::newRow("missing picture") << u"running"_s << QRect(0, 0, 1920, 1080) << false
                                     << u"does not exist"_s;
}

void KdeWallpaperSetterTest::failuresAreReported()
{
    QFETCH(QString, plasma);
    QFETCH(QRect, geometry);
    QFETCH(bool, pictureExists);
    QFETCH(QString, reason);
    if (plasma == u"running"_s && pictureExists && QStandardPaths::findExecutable(u"node"_s).isEmpty())
        QSKIP("no JavaScript engine (node) to stand in for Plasma's scripting");

    FakePlasmaShell shell;
    shell.locked = plasma == u"locked"_s;
    QDBusConnection service = QDBusConnection(u"plasma"_s);
    if (plasma != u"absent"_s) {
        QVERIFY(service.registerObject(u"/PlasmaShell"_s, &shell, QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(u"org.kde.plasmashell"_s));
    }
    KdeWallpaperSetter setter(QDBusConnection(u"app"_s));
    const QString file = pictureExists ? m_picture : m_files.filePath(u"missing.jpg"_s);
    const WallpaperSetResult result =
        QCoro::waitFor(setter.setWallpaper({test::FakeScreens::display(u"DP-1"_s, geometry), file}));
    service.unregisterService(u"org.kde.plasmashell"_s);
    service.unregisterObject(u"/PlasmaShell"_s);

    QVERIFY(!result.ok());
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
    QVERIFY(setter.filesInUse().isEmpty());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::KdeWallpaperSetterTest)
#include "KdeWallpaperSetterTest.moc"
