#include "player/windows/GalleryBarButton.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace lumi {

namespace {

constexpr int buttonSide = 28;
constexpr qreal symbolSide = 18;
constexpr qreal chevronWidth = 8;
constexpr qreal chevronGap = 6;
constexpr qreal pressedOpacity = 0.6;

QPainterPath triangle(QPointF tip, qreal width, qreal height, bool right)
{
    const qreal back = right ? tip.x() - width : tip.x() + width;
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(back, tip.y() - height / 2);
    path.lineTo(back, tip.y() + height / 2);
    path.closeSubpath();
    return path;
}

} // namespace

GalleryBarButton::GalleryBarButton(Symbol symbol, const QString& tip, QWidget* parent)
    : QToolButton(parent), m_symbol(symbol)
{
    setFixedSize(buttonSide, buttonSide);
    setToolTip(tip);
    setAccessibleName(tip);
}

GalleryBarButton::GalleryBarButton(QWidget* parent) : QToolButton(parent)
{
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void GalleryBarButton::setSymbol(Symbol symbol)
{
    m_symbol = symbol;
    update();
}

QSize GalleryBarButton::sizeHint() const
{
    if (m_symbol)
        return QSize(buttonSide, buttonSide);
    const QFontMetricsF metrics(font());
    return QSizeF(metrics.horizontalAdvance(text()) + chevronGap + chevronWidth, buttonSide).toSize();
}

void GalleryBarButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (isDown())
        painter.setOpacity(pressedOpacity);
    if (m_symbol)
        paintSymbol(painter, *m_symbol);
    else
        paintText(painter);
}

void GalleryBarButton::paintSymbol(QPainter& painter, Symbol symbol) const
{
    const QRectF box(QPointF((width() - symbolSide) / 2, (height() - symbolSide) / 2),
                     QSizeF(symbolSide, symbolSide));
    const QPointF centre = box.center();
    QPainterPath path;
    switch (symbol) {
    case Symbol::previous:
        path.addPath(triangle(QPointF(box.left(), centre.y()), symbolSide / 2, symbolSide * 0.7, false));
        path.addPath(triangle(QPointF(centre.x(), centre.y()), symbolSide / 2, symbolSide * 0.7, false));
        break;
    case Symbol::next:
        path.addPath(triangle(QPointF(centre.x(), centre.y()), symbolSide / 2, symbolSide * 0.7, true));
        path.addPath(triangle(QPointF(box.right(), centre.y()), symbolSide / 2, symbolSide * 0.7, true));
        break;
    case Symbol::play:
        path.addPath(
            triangle(QPointF(box.right() - 1, centre.y()), symbolSide * 0.8, symbolSide * 0.9, true));
        break;
    case Symbol::pause: {
        const qreal bar = symbolSide * 0.28;
        const qreal tall = symbolSide * 0.9;
        path.addRoundedRect(QRectF(centre.x() - bar - 1.5, centre.y() - tall / 2, bar, tall), 1.5, 1.5);
        path.addRoundedRect(QRectF(centre.x() + 1.5, centre.y() - tall / 2, bar, tall), 1.5, 1.5);
        break;
    }
    case Symbol::close: {
        // An X of round-capped strokes, semibold.
        const qreal reach = symbolSide * 0.34;
        painter.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + QPointF(-reach, -reach), centre + QPointF(reach, reach));
        painter.drawLine(centre + QPointF(-reach, reach), centre + QPointF(reach, -reach));
        return;
    }
    }
    painter.fillPath(path, Qt::white);
}

void GalleryBarButton::paintText(QPainter& painter) const
{
    const QFontMetricsF metrics(font());
    const qreal textWidth = metrics.horizontalAdvance(text());
    painter.setFont(font());
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, textWidth, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    const QPointF chevron(textWidth + chevronGap + chevronWidth / 2, height() / 2.0);
    painter.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QList<QPointF>{chevron + QPointF(-chevronWidth / 2, -2), chevron + QPointF(0, 2),
                                        chevron + QPointF(chevronWidth / 2, -2)});
}

} // namespace lumi
