#pragma once

#include <QJsonObject>
#include <QString>

namespace lumi {

class Defaults;
class Screens;

/// What this computer tells the service about itself: the device fields of the user record and
/// the device part of an account creation.
class DeviceRecord final
{
public:
    DeviceRecord() = delete;

    /// The eight fields sent with PUT "users" at every start.
    static QJsonObject fields(Defaults& defaults, const Screens& screens);

    static QString app();   ///< "desktop-linux"
    static QString build(); ///< "linux-native"
    static QString architecture();
    /// The kernel release (uname), at most 256 bytes, invalid UTF-8 replaced.
    static QString osRelease();
};

} // namespace lumi
