#include "model/DeviceInfo.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // sysfs attributes are at most a page long.
    return file.read(4096);
}

QString trimBlanksAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isVirtualDevice(const QString& name)
{
    static const QStringList prefixes{u"loop"_s, u"ram"_s, u"zram"_s, u"dm-"_s, u"md"_s, u"sr"_s, u"nbd"_s};
    for (const QString& prefix : prefixes) {
        if (name.startsWith(prefix))
            return true;
    }
    return false;
}

// Only a device that says outright it is not removable counts; a missing attribute does not.
bool isFixed(const QString& devicePath)
{
    return readSmallFile(devicePath + u"/removable"_s).trimmed() == "0";
}

bool isOnUsb(const QString& devicePath, const QString& canonicalRoot)
{
    // /sys/block/<name> links into the device tree; USB disks hang below a usb bus node.
    const QString resolved = QFileInfo(devicePath).canonicalFilePath();
    return resolved.mid(canonicalRoot.size()).contains(u"/usb"_s);
}

QString modelName(const QString& devicePath)
{
    QString model = QString::fromUtf8(readSmallFile(devicePath + u"/device/model"_s));
    // The line feed ends the sysfs attribute; it is not part of the name.
    if (model.endsWith(u'\n'))
        model.chop(1);
    return trimBlanksAndTabs(model);
}

} // namespace

QString DeviceInfo::appVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? u"0.0.0"_s : version;
}

QString DeviceInfo::installFingerprint(Defaults& defaults)
{
    if (const std::optional<QString> stored = defaults.stringValue(keys::installFingerprint))
        return *stored;
    const QString made = u"gen-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
    defaults.setValue(keys::installFingerprint, made);
    return made;
}

QString DeviceInfo::platformProperty(const QString& key, const QString& sysfsRoot)
{
    return QString::fromUtf8(readSmallFile(sysfsRoot + u"/class/dmi/id/"_s + key)).trimmed();
}

QStringList DeviceInfo::internalDiskNames(const QString& sysfsRoot)
{
    const QString canonicalRoot = QFileInfo(sysfsRoot).canonicalFilePath();
    const QDir blockFolder(sysfsRoot + u"/block"_s);
    QStringList names;
    for (const QString& entry : blockFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (isVirtualDevice(entry))
            continue;
        const QString devicePath = blockFolder.filePath(entry);
        if (!isFixed(devicePath) || isOnUsb(devicePath, canonicalRoot))
            continue;
        const QString name = modelName(devicePath);
        if (!name.isEmpty())
            names.append(name);
    }
    return names;
}

DeviceInfo::HardwareIdentifiers DeviceInfo::hardwareIdentifiers(const QString& sysfsRoot)
{
    return {platformProperty(u"product_serial"_s, sysfsRoot),
            platformProperty(u"product_uuid"_s, sysfsRoot).toLower(),
            internalDiskNames(sysfsRoot).join(u',')};
}

QString DeviceInfo::fingerprint(const HardwareIdentifiers& identifiers, Defaults& defaults)
{
    if (identifiers.serial.isEmpty() && identifiers.uuid.isEmpty())
        return installFingerprint(defaults);
    const QString disks = identifiers.disks.isEmpty() ? u"none"_s : identifiers.disks;
    return identifiers.serial + u':' + identifiers.uuid + u':' + disks;
}

} // namespace lumi
