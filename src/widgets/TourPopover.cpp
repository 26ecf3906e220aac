#include "widgets/TourPopover.h"

#include "widgets/Palette.h"
#include "widgets/TourCallout.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumi {

namespace {

constexpr int arrow = 10;
constexpr qreal corner = 8;

} // namespace

TourPopover::TourPopover(Guidance& guidance, int step, Edge edge)
    : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), m_edge(edge)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_callout = new TourCallout(guidance, step, this);
    auto* layout = new QVBoxLayout(this);
    // Room for the arrow on the side that faces the anchor.
    layout->setContentsMargins(edge == Edge::trailing ? arrow : 0, edge == Edge::bottom ? arrow : 0,
                               edge == Edge::leading ? arrow : 0, edge == Edge::top ? arrow : 0);
    layout->addWidget(m_callout);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);
    adjustSize();
}

void TourPopover::placeAt(const QRect& anchor, const QRect& screen)
{
    adjustSize();
    const QSize size = sizeHint();
    QPoint at;
    switch (m_edge) {
    case Edge::bottom:
        at = QPoint(anchor.center().x() - size.width() / 2, anchor.bottom() + 1);
        break;
    case Edge::top:
        at = QPoint(anchor.center().x() - size.width() / 2, anchor.top() - size.height());
        break;
    case Edge::leading:
        at = QPoint(anchor.left() - size.width(), anchor.center().y() - size.height() / 2);
        break;
    case Edge::trailing:
        at = QPoint(anchor.right() + 1, anchor.center().y() - size.height() / 2);
        break;
    }
    if (screen.isValid()) {
        at.setX(qBound(screen.left(), at.x(), qMax(screen.left(), screen.right() - size.width())));
        at.setY(qBound(screen.top(), at.y(), qMax(screen.top(), screen.bottom() - size.height())));
    }
    const bool vertical = m_edge == Edge::top || m_edge == Edge::bottom;
    const int tip = vertical ? anchor.center().x() - at.x() : anchor.center().y() - at.y();
    const int length = vertical ? size.width() : size.height();
    m_arrowAt = qBound(int(corner) + arrow, tip, length - int(corner) - arrow);
    resize(size);
    move(at);
    // Without a compositor a mask is what gives the bubble its arrow.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
}

QPainterPath TourPopover::outline() const
{
    const QRectF all(rect());
    QRectF body = all;
    QPolygonF tip;
    switch (m_edge) {
    case Edge::bottom:
        body.setTop(arrow);
        tip << QPointF(m_arrowAt - arrow, arrow) << QPointF(m_arrowAt, 0)
            << QPointF(m_arrowAt + arrow, arrow);
        break;
    case Edge::top:
        body.setBottom(all.bottom() - arrow);
        tip << QPointF(m_arrowAt - arrow, body.bottom()) << QPointF(m_arrowAt, all.bottom())
            << QPointF(m_arrowAt + arrow, body.bottom());
        break;
    case Edge::trailing:
        body.setLeft(arrow);
        tip << QPointF(arrow, m_arrowAt - arrow) << QPointF(0, m_arrowAt)
            << QPointF(arrow, m_arrowAt + arrow);
        break;
    case Edge::leading:
        body.setRight(all.right() - arrow);
        tip << QPointF(body.right(), m_arrowAt - arrow) << QPointF(all.right(), m_arrowAt)
            << QPointF(body.right(), m_arrowAt + arrow);
        break;
    }
    QPainterPath path;
    path.addRoundedRect(body, corner, corner);
    QPainterPath pointer;
    pointer.addPolygon(tip);
    pointer.closeSubpath();
    return path.united(pointer);
}

void TourPopover::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    QColor border = Palette::dark();
    border.setAlpha(60);
    painter.setPen(QPen(border, 1));
    painter.drawPath(outline().translated(0.5, 0.5));
}

void TourPopover::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    emit closed();
}

void TourPopover::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_callout->nextButton()->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace lumi
