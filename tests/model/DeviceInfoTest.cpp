#include "model/DeviceInfo.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// One block device of a fake sysfs tree.
struct FakeDisk
{
    QString name;
    std::optional<QByteArray> model;     // the device/model attribute, absent when nullopt
    std::optional<QByteArray> removable; // the removable attribute, absent when nullopt
    bool usb = false;
};

FakeDisk disk(const QString& name, const QByteArray& model, bool usb = false)
{
    return {name, model, QByteArray("0\n"), usb};
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Lays the disks out as the kernel does: /sys/block/<name> links into /sys/devices, below a usb
// bus node for USB disks.
void makeSysfs(const QString& root, const QList<FakeDisk>& disks)
{
    QVERIFY(QDir().mkpath(root + u"/block"_s));
    for (const FakeDisk& d : disks) {
        const QString bus =
            d.usb ? u"devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0"_s
                  : u"devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0"_s;
        const QString deviceFolder = root + u'/' + bus + u"/block/"_s + d.name;
        QVERIFY(QDir().mkpath(deviceFolder));
        if (d.model)
            writeFile(deviceFolder + u"/device/model"_s, *d.model);
        if (d.removable)
            writeFile(deviceFolder + u"/removable"_s, *d.removable);
        QVERIFY(QFile::link(deviceFolder, root + u"/block/"_s + d.name));
    }
}

const QRegularExpression
    generatedFingerprint(u"^gen-[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$"_s);

} // namespace
} // namespace lumi

Q_DECLARE_METATYPE(lumi::FakeDisk)
Q_DECLARE_METATYPE(std::optional<QByteArray>)

namespace lumi {

class DeviceInfoTest final : public QObject
{
    Q_OBJECT

private slots:
    void appVersion_data();
    void appVersion();
    void installFingerprintIsMadeOnceAndKept();
    void installFingerprintKeepsAnExistingText_data();
    void installFingerprintKeepsAnExistingText();
    void fingerprint_data();
    void fingerprint();
    void internalDiskNames_data();
    void internalDiskNames();
    void hardwareIdentifiers_data();
    void hardwareIdentifiers();

private:
    QTemporaryDir m_dir;
};

void DeviceInfoTest::appVersion_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << u"1.4.2"_s << u"1.4.2"_s;
    QTest::newRow("missing") << QString() << u"0.0.0"_s;
}

void DeviceInfoTest::appVersion()
{
    QFETCH(QString, set);
    QFETCH(QString, expected);
    const QString before = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(set);
    const QString version = DeviceInfo::appVersion();
    QCoreApplication::setApplicationVersion(before);
    QCOMPARE(version, expected);
}

void DeviceInfoTest::installFingerprintIsMadeOnceAndKept()
{
    const QString file = m_dir.filePath(u"made-once/defaults.json"_s);
    QString first;
    {
        Defaults defaults(file);
        first = DeviceInfo::installFingerprint(defaults);
        QVERIFY2(generatedFingerprint.match(first).hasMatch(), qPrintable(first));
        QCOMPARE(DeviceInfo::installFingerprint(defaults), first);
    }
    Defaults restarted(file);
    QCOMPARE(restarted.stringValue(keys::installFingerprint), first);
    QCOMPARE(DeviceInfo::installFingerprint(restarted), first);
}

void DeviceInfoTest::installFingerprintKeepsAnExistingText_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("kept");
    // The take-over of the older app may leave its own fingerprint: it is used as it stands.
    QTest::newRow("text from the older app") << QVariant(u"gen-from-electron"_s) << true;
    QTest::newRow("not a text") << QVariant(42) << false;
}

void DeviceInfoTest::installFingerprintKeepsAnExistingText()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, kept);
    Defaults defaults(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u"/defaults.json"_s));
    defaults.setValue(keys::installFingerprint, stored);
    const QString fingerprint = DeviceInfo::installFingerprint(defaults);
    if (kept) {
        QCOMPARE(fingerprint, stored.toString());
    } else {
        QVERIFY2(generatedFingerprint.match(fingerprint).hasMatch(), qPrintable(fingerprint));
        QCOMPARE(defaults.stringValue(keys::installFingerprint), fingerprint);
    }
}

void DeviceInfoTest::fingerprint_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<QString>("disks");
    QTest::addColumn<QString>("expected"); // empty: the install fingerprint

    QTest::newRow("all parts") << u"C02XK1"_s << u"4c4c4544-0042"_s << u"SSD A,SSD A"_s
                               << u"C02XK1:4c4c4544-0042:SSD A,SSD A"_s;
    QTest::newRow("no uuid") << u"C02XK1"_s << QString() << u"SSD A"_s << u"C02XK1::SSD A"_s;
    QTest::newRow("no serial") << QString() << u"4c4c4544"_s << u"SSD A"_s << u":4c4c4544:SSD A"_s;
    QTest::newRow("no disk") << u"C02XK1"_s << u"4c4c4544"_s << QString() << u"C02XK1:4c4c4544:none"_s;
    QTest::newRow("neither serial nor uuid") << QString() << QString() << u"SSD A"_s << QString();
}

void DeviceInfoTest::fingerprint()
{
    QFETCH(QString, serial);
    QFETCH(QString, uuid);
    QFETCH(QString, disks);
    QFETCH(QString, expected);
    Defaults defaults(m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u"/defaults.json"_s));
    const QString fingerprint = DeviceInfo::fingerprint({serial, uuid, disks}, defaults);
    if (expected.isEmpty()) {
        QVERIFY2(generatedFingerprint.match(fingerprint).hasMatch(), qPrintable(fingerprint));
        QCOMPARE(defaults.stringValue(keys::installFingerprint), fingerprint);
    } else {
        QCOMPARE(fingerprint, expected);
        QVERIFY(!defaults.contains(keys::installFingerprint));
    }
}

void DeviceInfoTest::internalDiskNames_data()
{
    QTest::addColumn<QList<FakeDisk>>("disks");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("fixed disks in name order")
        << QList<FakeDisk>{disk(u"sdb"_s, "WDC WD10EZEX\n"), disk(u"nvme0n1"_s, "Samsung SSD 980\n")}
        << QStringList{u"Samsung SSD 980"_s, u"WDC WD10EZEX"_s};
    QTest::newRow("blanks and tabs trimmed")
        << QList<FakeDisk>{disk(u"sda"_s, " \tINTEL SSDSC2KW  \t\n")} << QStringList{u"INTEL SSDSC2KW"_s};
    QTest::newRow("blank or missing name skipped")
        << QList<FakeDisk>{disk(u"sda"_s, "   \t\n"), {u"vda"_s, std::nullopt, QByteArray("0\n"), false}}
        << QStringList{};
    QTest::newRow("two disks of one model both count")
        << QList<FakeDisk>{disk(u"sda"_s, "ST2000\n"), disk(u"sdb"_s, "ST2000\n")}
        << QStringList{u"ST2000"_s, u"ST2000"_s};
    QTest::newRow("usb disk skipped")
        << QList<FakeDisk>{disk(u"sda"_s, "Internal\n"), disk(u"sdb"_s, "USB Stick\n", true)}
        << QStringList{u"Internal"_s};
    QTest::newRow("removable or unknown removability skipped")
        << QList<FakeDisk>{{u"sda"_s, QByteArray("Card Reader\n"), QByteArray("1\n"), false},
                           {u"sdb"_s, QByteArray("No Attribute\n"), std::nullopt, false},
                           disk(u"sdc"_s, "Fixed\n")}
        << QStringList{u"Fixed"_s};
    QList<FakeDisk> virtualDevices;
    for (const QString& name :
         {u"loop0"_s, u"ram0"_s, u"zram0"_s, u"dm-0"_s, u"md127"_s, u"sr0"_s, u"nbd0"_s})
        virtualDevices.append(disk(name, "Virtual\n"));
    virtualDevices.append(disk(u"mmcblk0"_s, "eMMC\n"));
    QTest::newRow("virtual devices skipped") << virtualDevices << QStringList{u"eMMC"_s};
    QTest::newRow("no block devices") << QList<FakeDisk>{} << QStringList{};
}

void DeviceInfoTest::internalDiskNames()
{
    QFETCH(QList<FakeDisk>, disks);
    QFETCH(QStringList, expected);
    const QString root = m_dir.filePath(u"disks-"_s + QString::fromLatin1(QTest::currentDataTag()));
    makeSysfs(root, disks);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(DeviceInfo::internalDiskNames(root), expected);
}

void DeviceInfoTest::hardwareIdentifiers_data()
{
    QTest::addColumn<std::optional<QByteArray>>("serial");
    QTest::addColumn<std::optional<QByteArray>>("uuid");
    QTest::addColumn<QString>("expectedSerial");
    QTest::addColumn<QString>("expectedUuid");

    QTest::newRow("readable") << std::optional<QByteArray>(" PF2ABC9K \n")
                              << std::optional<QByteArray>("4C4C4544-0042-3510-8052-B4C04F4E4B32\n")
                              << u"PF2ABC9K"_s << u"4c4c4544-0042-3510-8052-b4c04f4e4b32"_s;
    // product_serial and product_uuid are root-only on most systems: the files then read as missing.
    QTest::newRow("missing") << std::optional<QByteArray>() << std::optional<QByteArray>() << QString()
                             << QString();
}

void DeviceInfoTest::hardwareIdentifiers()
{
    QFETCH(std::optional<QByteArray>, serial);
    QFETCH(std::optional<QByteArray>, uuid);
    QFETCH(QString, expectedSerial);
    QFETCH(QString, expectedUuid);
    const QString root = m_dir.filePath(u"ids-"_s + QString::fromLatin1(QTest::currentDataTag()));
    makeSysfs(root, {disk(u"nvme0n1"_s, "SSD One\n"), disk(u"sda"_s, "SSD Two\n")});
    if (QTest::currentTestFailed())
        return;
    if (serial)
        writeFile(root + u"/class/dmi/id/product_serial"_s, *serial);
    if (uuid)
        writeFile(root + u"/class/dmi/id/product_uuid"_s, *uuid);
    const DeviceInfo::HardwareIdentifiers ids = DeviceInfo::hardwareIdentifiers(root);
    QCOMPARE(ids.serial, expectedSerial);
    QCOMPARE(ids.uuid, expectedUuid);
    QCOMPARE(ids.disks, u"SSD One,SSD Two"_s);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DeviceInfoTest)

#include "DeviceInfoTest.moc"
