#include "platform/linux/XfceWallpaperSetter.h"
#include "support/FakeScreens.h"
#include "support/PrivateSessionBus.h"

#include <QCoroTask>
#include <QDBusContext>
#include <QDBusVariant>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

/// A fake xfconf daemon (XFCE can't run here): properties of the xfce4-desktop channel in memory,
/// with xfconfd's errors for unknown and locked properties.
class FakeXfconf final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.xfce.Xfconf")

public:
    QVariantMap properties;
    QStringList locked;

public slots:
    QVariantMap GetAllProperties(const QString& channel, const QString& base)
    {
        QVariantMap found;
        for (auto it = properties.constBegin(); it != properties.constEnd(); ++it) {
            if (channel == u"xfce4-desktop"_s && it.key().startsWith(base + u'/'))
                found.insert(it.key(), it.value());
        }
        if (found.isEmpty())
            sendErrorReply(u"org.xfce.Xfconf.Error.PropertyNotFound"_s,
                           u"Property \"%1\" does not exist on channel \"%2\""_s.arg(base, channel));
        return found;
    }

    void SetProperty(const QString& channel, const QString& property, const QDBusVariant& value)
    {
        if (locked.contains(property)) {
            sendErrorReply(u"org.xfce.Xfconf.Error.PermissionDenied"_s,
                           u"Permission denied while modifying property \"%1\" on channel \"%2\""_s.arg(
                               property, channel));
            return;
        }
        if (channel == u"xfce4-desktop"_s)
            properties.insert(property, value.variant());
    }
};

class XfceWallpaperSetterTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void setsEveryWorkspaceOfTheMonitor_data();
    void setsEveryWorkspaceOfTheMonitor();
    void failuresAreReported_data();
    void failuresAreReported();

private:
    WallpaperSetResult set(FakeXfconf* xfconf, const QString& file, QStringList* inUse);

    std::unique_ptr<test::PrivateSessionBus> m_bus;
    QTemporaryDir m_files;
    QString m_picture;
};

void XfceWallpaperSetterTest::initTestCase()
{
    m_bus = std::make_unique<test::PrivateSessionBus>();
    QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
    QVERIFY(m_bus->connect(u"xfconf"_s).isConnected());
    QVERIFY(m_bus->connect(u"app"_s).isConnected());
    QImage picture(64, 64, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    m_picture = m_files.filePath(u"picture-64x64-1.jpg"_s);
    QVERIFY(picture.save(m_picture));
}

WallpaperSetResult XfceWallpaperSetterTest::set(FakeXfconf* xfconf, const QString& file, QStringList* inUse)
{
    QDBusConnection service(u"xfconf"_s);
    if (xfconf) {
        service.registerObject(u"/org/xfce/Xfconf"_s, xfconf, QDBusConnection::ExportAllSlots);
        service.registerService(u"org.xfce.Xfconf"_s);
    }
    XfceWallpaperSetter setter(QDBusConnection(u"app"_s));
    const WallpaperRequest request{test::FakeScreens::display(u"HDMI-1"_s, QRect(0, 0, 1920, 1080)), file};
    const WallpaperSetResult result = QCoro::waitFor(setter.setWallpaper(request));
    *inUse = setter.filesInUse();
    service.unregisterService(u"org.xfce.Xfconf"_s);
    service.unregisterObject(u"/org/xfce/Xfconf"_s);
    return result;
}

void XfceWallpaperSetterTest::setsEveryWorkspaceOfTheMonitor_data()
{
    QTest::addColumn<QVariantMap>("existing");
    QTest::addColumn<QStringList>("workspaces");

    const QString hdmi = u"/backdrop/screen0/monitorHDMI-1/"_s;
    const QString other = u"/backdrop/screen0/monitorDP-2/workspace3/last-image"_s;
    QTest::newRow("monitor without settings yet")
        << QVariantMap{{other, u"/old.jpg"_s}} << QStringList{u"workspace0"_s};
    QTest::newRow("monitor with three workspaces")
        << QVariantMap{{hdmi + u"workspace0/last-image"_s, u"/old.jpg"_s},
                       {hdmi + u"workspace1/image-style"_s, 1},
                       {hdmi + u"workspace2/last-image"_s, u"/old.jpg"_s},
                       {other, u"/old.jpg"_s}}
        << QStringList{u"workspace0"_s, u"workspace1"_s, u"workspace2"_s};
}

void XfceWallpaperSetterTest::setsEveryWorkspaceOfTheMonitor()
{
    QFETCH(QVariantMap, existing);
    QFETCH(QStringList, workspaces);

    FakeXfconf xfconf;
    xfconf.properties = existing;
    QStringList inUse;
    const WallpaperSetResult result = set(&xfconf, m_picture, &inUse);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(inUse, QStringList{m_picture});

    for (const QString& workspace : workspaces) {
        const QString base = u"/backdrop/screen0/monitorHDMI-1/"_s + workspace;
        QCOMPARE(xfconf.properties.value(base + u"/last-image"_s), QVariant(m_picture));
        const QVariant style = xfconf.properties.value(base + u"/image-style"_s);
        QCOMPARE(style.typeId(), QMetaType::Int); // xfdesktop reads an int
        QCOMPARE(style.toInt(), 5);               // zoomed
    }
    // Nothing else changed: the other monitor and no invented workspaces.
    QCOMPARE(xfconf.properties.value(u"/backdrop/screen0/monitorDP-2/workspace3/last-image"_s),
             QVariant(u"/old.jpg"_s));
    QCOMPARE(xfconf.properties.size(), 1 + 2 * workspaces.size());
}

void XfceWallpaperSetterTest::failuresAreReported_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("pictureExists");
    QTest::addColumn<QString>("reason");

    QTest::newRow("locked property") << true << true << u"Permission denied"_s;
    QTest::newRow("xfconf not running") << false << true << u"org.xfce.Xfconf"_s;
    QTest::newRow("missing picture") << true << false << u"does not exist"_s;
}

void XfceWallpaperSetterTest::failuresAreReported()
{
    QFETCH(bool, running);
    QFETCH(bool, pictureExists);
    QFETCH(QString, reason);

    FakeXfconf xfconf;
    xfconf.locked = QStringList{u"/backdrop/screen0/monitorHDMI-1/workspace0/last-image"_s};
    const QString file = pictureExists ? m_picture : m_files.filePath(u"missing.jpg"_s);
    QStringList inUse;
    const WallpaperSetResult result = set(running ? &xfconf : nullptr, file, &inUse);

    QVERIFY(!result.ok());
    QVERIFY(inUse.isEmpty());
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
    QVERIFY(!xfconf.properties.contains(u"/backdrop/screen0/monitorHDMI-1/workspace0/last-image"_s));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::XfceWallpaperSetterTest)
#include "XfceWallpaperSetterTest.moc"
