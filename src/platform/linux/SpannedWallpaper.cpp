#include "platform/linux/SpannedWallpaper.h"

#include "imaging/JpegFile.h"
#include "imaging/PhotoDecoder.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QRect bounds(const QList<DisplayInfo>& displays)
{
    QRect united;
    for (const DisplayInfo& display : displays)
        united = united.united(display.geometry);
    return united;
}

qreal scale(const QList<DisplayInfo>& displays)
{
    qreal ratio = 1.0;
    for (const DisplayInfo& display : displays)
        ratio = std::max(ratio, display.devicePixelRatio);
    return ratio;
}

} // namespace

QSize SpannedWallpaper::size(const QList<DisplayInfo>& displays)
{
    const QRect united = bounds(displays);
    const qreal ratio = scale(displays);
    return QSize(int(std::lround(united.width() * ratio)), int(std::lround(united.height() * ratio)));
}

QRect SpannedWallpaper::area(const QList<DisplayInfo>& displays, const DisplayInfo& display)
{
    const QRect united = bounds(displays);
    const qreal ratio = scale(displays);
    const QRect& g = display.geometry;
    const int left = int(std::lround((g.x() - united.x()) * ratio));
    const int top = int(std::lround((g.y() - united.y()) * ratio));
    const int right = int(std::lround((g.x() + g.width() - united.x()) * ratio));
    const int bottom = int(std::lround((g.y() + g.height() - united.y()) * ratio));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QString SpannedWallpaper::write(const QList<DisplayInfo>& displays, const QHash<QString, QString>& pictures,
                                const QString& destination)
{
    const QSize canvasSize = size(displays);
    if (canvasSize.isEmpty())
        return u"no displays to span"_s;
    QImage canvas(canvasSize, QImage::Format_RGB32);
    if (canvas.isNull())
        return u"cannot allocate a %1x%2 picture"_s.arg(canvasSize.width()).arg(canvasSize.height());
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        for (const DisplayInfo& display : displays) {
            const QString file = pictures.value(display.name);
            if (file.isEmpty())
                continue;
            const QRect target = area(displays, display);
            QString error;
            const QImage picture = PhotoDecoder(file).decodeCovering(target.size(), &error);
            if (picture.isNull())
                return u"cannot read %1: %2"_s.arg(file, error);
            painter.drawImage(target.topLeft(), picture);
        }
    }
    return JpegFile::write(canvas, destination, JpegFile::photoQuality).value_or(QString());
}

} // namespace lumi
