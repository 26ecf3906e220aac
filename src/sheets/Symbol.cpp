#include "sheets/Symbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace lumi {

namespace {

// Every symbol is drawn on a 24 × 24 grid.
QPainterPath path(Symbol::Kind kind)
{
    QPainterPath shape;
    switch (kind) {
    case Symbol::Kind::chevronRight:
        shape.moveTo(9, 5);
        shape.lineTo(16, 12);
        shape.lineTo(9, 19);
        break;
    case Symbol::Kind::star:
        for (int point = 0; point < 10; ++point) {
            const qreal radius = point % 2 == 0 ? 11 : 4.6;
            const qreal angle = qDegreesToRadians(-90 + point * 36.0);
            const QPointF at(12 + radius * qCos(angle), 12.6 + radius * qSin(angle));
            point == 0 ? shape.moveTo(at) : shape.lineTo(at);
        }
        shape.closeSubpath();
        break;
    case Symbol::Kind::map:
        shape.moveTo(3, 6);
        shape.lineTo(9, 4);
        shape.lineTo(15, 6);
        shape.lineTo(21, 4);
        shape.lineTo(21, 18);
        shape.lineTo(15, 20);
        shape.lineTo(9, 18);
        shape.lineTo(3, 20);
        shape.closeSubpath();
        shape.moveTo(9, 4);
        shape.lineTo(9, 18);
        shape.moveTo(15, 6);
        shape.lineTo(15, 20);
        break;
    case Symbol::Kind::wifiExclamation:
        shape.arcMoveTo(QRectF(1, 4, 18, 18), 45);
        shape.arcTo(QRectF(1, 4, 18, 18), 45, 90);
        shape.arcMoveTo(QRectF(5, 8, 10, 10), 45);
        shape.arcTo(QRectF(5, 8, 10, 10), 45, 90);
        shape.addEllipse(QPointF(10, 17), 1.2, 1.2);
        shape.moveTo(21, 6);
        shape.lineTo(21, 14);
        shape.addEllipse(QPointF(21, 18), 1.2, 1.2);
        break;
    }
    return shape;
}

} // namespace

QPixmap Symbol::pixmap(Kind kind, int side, const QColor& color, qreal devicePixelRatio)
{
    QPixmap canvas(QSize(side, side) * devicePixelRatio);
    canvas.setDevicePixelRatio(devicePixelRatio);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / 24.0, side / 24.0);
    const bool filled = kind == Kind::star;
    painter.setPen(filled ? Qt::NoPen : QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(filled ? QBrush(color) : Qt::NoBrush);
    painter.drawPath(path(kind));
    return canvas;
}

} // namespace lumi
