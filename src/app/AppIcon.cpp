#include "app/AppIcon.h"

#include <QPainter>
#include <QPolygonF>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The shapes, on a 256-unit square: a blue tile, a sun and a ridge, a landscape photo at a glance.
constexpr qreal canvas = 256;
const QRectF tile(16, 16, 224, 224);
constexpr qreal tileRadius = 52;
const QColor tileColour(0x2b, 0x6c, 0xb0);
const QPointF sunCentre(170, 90);
constexpr qreal sunRadius = 28;
const QColor sunColour(0xff, 0xc1, 0x07);
const QPolygonF ridge{{40, 200}, {102, 108}, {140, 160}, {166, 130}, {216, 200}};
const QColor ridgeColour(Qt::white);

QString number(qreal value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

QImage AppIcon::image(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / canvas, size / canvas);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tileColour);
    painter.drawRoundedRect(tile, tileRadius, tileRadius);
    painter.setBrush(sunColour);
    painter.drawEllipse(sunCentre, sunRadius, sunRadius);
    painter.setBrush(ridgeColour);
    painter.drawPolygon(ridge);
    return image;
}

QByteArray AppIcon::svg()
{
    QStringList points;
    for (const QPointF& point : ridge)
        points.append(number(point.x()) + u',' + number(point.y()));
    const QString text =
        u"<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n"
        "  <rect x=\"%2\" y=\"%3\" width=\"%4\" height=\"%5\" rx=\"%6\" fill=\"%7\"/>\n"
        "  <circle cx=\"%8\" cy=\"%9\" r=\"%10\" fill=\"%11\"/>\n"
        "  <polygon points=\"%12\" fill=\"%13\"/>\n"
        "</svg>\n"_s
            .arg(number(canvas), number(tile.x()), number(tile.y()), number(tile.width()),
                 number(tile.height()), number(tileRadius), tileColour.name(), number(sunCentre.x()),
                 number(sunCentre.y()))
            .arg(number(sunRadius), sunColour.name(), points.join(u' '), ridgeColour.name());
    return text.toUtf8();
}

QIcon AppIcon::icon()
{
    QIcon icon;
    for (const int size : pixelSizes)
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace lumi
