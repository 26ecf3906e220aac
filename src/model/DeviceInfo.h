#pragma once

#include <QString>
#include <QStringList>

namespace lumi {

class Defaults;

/// What the device record tells the service about this computer: the app version, a stable
/// fingerprint from the hardware identifiers (or a random one kept in the settings store when the
/// firmware tells us nothing).
/// The hardware is read from sysfs; the root is a parameter so tests can hand in a fake tree.
class DeviceInfo final
{
public:
    struct HardwareIdentifiers
    {
        QString serial; ///< firmware serial number as given, or empty
        QString uuid;   ///< firmware UUID in lower case, or empty
        QString disks;  ///< product names of the internal disks joined with ",", or empty

        bool operator==(const HardwareIdentifiers&) const = default;
    };

    DeviceInfo() = delete;

    /// The application version, "0.0.0" when none is set.
    static QString appVersion();
    /// "gen-" and a random lower-case UUID, made once and then kept in the settings store.
    static QString installFingerprint(Defaults& defaults);

    /// A DMI field (product_serial, product_uuid, ...) trimmed; empty when missing or root-only.
    static QString platformProperty(const QString& key, const QString& sysfsRoot = QStringLiteral("/sys"));
    /// Model names of the fixed, non-USB, non-virtual block devices, in name order, duplicates kept.
    static QStringList internalDiskNames(const QString& sysfsRoot = QStringLiteral("/sys"));
    static HardwareIdentifiers hardwareIdentifiers(const QString& sysfsRoot = QStringLiteral("/sys"));
    /// "serial:uuid:disks" ("none" for no disks); the install fingerprint when serial and uuid are
    /// both empty.
    static QString fingerprint(const HardwareIdentifiers& identifiers, Defaults& defaults);
};

} // namespace lumi
