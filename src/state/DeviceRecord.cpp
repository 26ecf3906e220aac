#include "state/DeviceRecord.h"

#include "model/DeviceInfo.h"
#include "platform/Screens.h"

#include <QSysInfo>

#include <algorithm>
#include <cstring>
#include <sys/utsname.h>

using namespace Qt::StringLiterals;

namespace lumi {

QJsonObject DeviceRecord::fields(Defaults& defaults, const Screens& screens)
{
    const DeviceInfo::HardwareIdentifiers identifiers = DeviceInfo::hardwareIdentifiers();
    return QJsonObject{
        {u"desktop_version"_s, DeviceInfo::appVersion()},
        {u"desktop_build"_s, build()},
        {u"desktop_arch"_s, architecture()},
        {u"desktop_os"_s, u"linux"_s},
        {u"desktop_osv"_s, osRelease()},
        {u"desktop_resolution"_s, screens.resolution()},
        {u"os_uuid"_s, identifiers.uuid},
        {u"fingerprint"_s, DeviceInfo::fingerprint(identifiers, defaults)},
    };
}

QString DeviceRecord::app()
{
    return u"desktop-linux"_s;
}

QString DeviceRecord::build()
{
    return u"linux-native"_s;
}

QString DeviceRecord::architecture()
{
    return QSysInfo::currentCpuArchitecture();
}

QString DeviceRecord::osRelease()
{
    utsname name{};
    if (uname(&name) != 0)
        return QString();
    const size_t length = strnlen(name.release, std::min(sizeof(name.release), size_t(256)));
    return QString::fromUtf8(name.release, qsizetype(length));
}

} // namespace lumi
