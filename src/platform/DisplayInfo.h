#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace lumi {

/// One connected display as the wallpaper, the rotation and the saver see it.
struct DisplayInfo final
{
    /// The system's name of the display (the RandR output or monitor name, e.g. "HDMI-1").
    QString name;
    /// Stable number derived from the name; keys the per-display records.
    quint32 number = 0;
    /// Tells physical displays apart: "manufacturer|model|serial" when the serial is known, else name.
    QString displayId;
    /// Frame in device-independent pixels, in the desktop's coordinates.
    QRect geometry;
    /// The part of the frame not covered by panels and docks.
    QRect availableGeometry;
    qreal devicePixelRatio = 1.0;
    /// Device pixels: geometry size times devicePixelRatio, each cut toward zero.
    QSize pixelSize;

    /// The decimal text of number, as stored in per-display records.
    QString key() const { return QString::number(number); }

    /// 32-bit FNV-1a of the name's UTF-8 bytes.
    static quint32 numberForName(const QString& name);

    /// Builds the record of a screen from what the system reports; none when the screen has no
    /// usable size (zero, negative or non-finite) so callers never divide by it.
    static std::optional<DisplayInfo> describe(const QString& name, const QString& manufacturer,
                                               const QString& model, const QString& serialNumber,
                                               const QRect& geometry, const QRect& availableGeometry,
                                               qreal devicePixelRatio);

    friend bool operator==(const DisplayInfo&, const DisplayInfo&) = default;
};

} // namespace lumi
