#include "browser/MembershipMark.h"

#include "widgets/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lumi {

namespace {

constexpr int markSize = 16;

} // namespace

MembershipMark::MembershipMark(Kind kind, bool included, QWidget* parent)
    : QAbstractButton(parent), m_kind(kind), m_included(included)
{
    setFixedSize(markSize, markSize);
    setCursor(Qt::PointingHandCursor);
    QString tip;
    if (kind == Kind::wallpaper)
        tip = included ? tr("In wallpaper rotation — click to remove") : tr("Add to wallpaper rotation");
    else
        tip = included ? tr("In the screen saver — click to remove") : tr("Add to the screen saver");
    setToolTip(tip);
    setAccessibleName(tip);
}

QSize MembershipMark::sizeHint() const
{
    return {markSize, markSize};
}

QPixmap MembershipMark::symbol(Kind kind, bool included, const QColor& colour, int size,
                               qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paintSymbol(painter, QRectF(0, 0, size, size), kind, included, colour);
    return pixmap;
}

void MembershipMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintSymbol(painter, QRectF(rect()), m_kind, m_included, palette().color(QPalette::WindowText));
}

void MembershipMark::paintSymbol(QPainter& painter, const QRectF& box, Kind kind, bool included,
                                 const QColor& colour)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = box.adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath outline;
    if (kind == Kind::wallpaper)
        outline.addEllipse(shape);
    else
        outline.addRoundedRect(shape, 3, 3);
    if (!included) {
        painter.setPen(QPen(colour, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline);
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(outline);
    // The check takes the colour of what is behind the row: dark under white marks, else white.
    const QColor check = colour.lightness() > 128 ? Palette::dark() : QColor(Qt::white);
    painter.setPen(QPen(check, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const qreal w = shape.width();
    const QPointF origin = shape.topLeft();
    painter.drawPolyline(QList<QPointF>{origin + QPointF(0.27 * w, 0.52 * w),
                                        origin + QPointF(0.44 * w, 0.68 * w),
                                        origin + QPointF(0.74 * w, 0.34 * w)});
}

} // namespace lumi
