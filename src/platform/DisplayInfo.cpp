#include "platform/DisplayInfo.h"

#include <QStringList>

#include <climits>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

quint32 DisplayInfo::numberForName(const QString& name)
{
    quint32 hash = 2166136261u;
    const QByteArray bytes = name.toUtf8();
    for (const char byte : bytes) {
        hash ^= static_cast<quint8>(byte);
        hash *= 16777619u;
    }
    return hash;
}

std::optional<DisplayInfo> DisplayInfo::describe(const QString& name, const QString& manufacturer,
                                                 const QString& model, const QString& serialNumber,
                                                 const QRect& geometry, const QRect& availableGeometry,
                                                 qreal devicePixelRatio)
{
    if (geometry.width() <= 0 || geometry.height() <= 0 || !std::isfinite(devicePixelRatio) ||
        devicePixelRatio <= 0)
        return std::nullopt;
    const double width = std::floor(geometry.width() * devicePixelRatio);
    const double height = std::floor(geometry.height() * devicePixelRatio);
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX)
        return std::nullopt;

    DisplayInfo info;
    info.name = name;
    info.number = numberForName(name);
    info.displayId =
        serialNumber.isEmpty() ? name : QStringList{manufacturer, model, serialNumber}.join(u'|');
    info.geometry = geometry;
    info.availableGeometry = availableGeometry.isValid() ? availableGeometry : geometry;
    info.devicePixelRatio = devicePixelRatio;
    info.pixelSize = QSize(static_cast<int>(width), static_cast<int>(height));
    return info;
}

} // namespace lumi
