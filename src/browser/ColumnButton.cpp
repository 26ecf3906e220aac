#include "browser/ColumnButton.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QPainter>
#include <QPainterPath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr QSize buttonSize(28, 24);
constexpr QSizeF contentSize(20, 16);
constexpr qreal barSpacing = 1;
constexpr qreal borderWidth = 2;

QColor inactiveContent()
{
    return QColor(108, 117, 125);
}

QColor white(qreal opacity)
{
    QColor color(Qt::white);
    color.setAlphaF(float(opacity));
    return color;
}

} // namespace

ColumnButton::ColumnButton(GridColumns option, QWidget* parent) : QAbstractButton(parent), m_option(option)
{
    setCheckable(true);
    // Reached with Tab, so the focus ring shows for the keyboard and never after a click.
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(buttonSize);
    setToolTip(option.title());
    setAccessibleName(option.title());
    setCursor(Qt::PointingHandCursor);
}

QSize ColumnButton::sizeHint() const
{
    return buttonSize;
}

void ColumnButton::enterEvent(QEnterEvent* event)
{
    m_hovering = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ColumnButton::leaveEvent(QEvent* event)
{
    m_hovering = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ColumnButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(isEnabled() ? 1.0 : 0.65);

    // The border is stroked inside the frame, so the path runs half its width in.
    const QRectF frame =
        QRectF(rect()).adjusted(borderWidth / 2, borderWidth / 2, -borderWidth / 2, -borderWidth / 2);
    const bool active = isChecked();
    QColor fill = Qt::transparent;
    if (active)
        fill = Palette::dark();
    else if (m_hovering)
        fill = QColor(248, 249, 250);
    QColor border = active ? Palette::dark() : Palette::muted();
    if (hasFocus())
        border = Palette::focusRing();
    painter.setPen(QPen(border, borderWidth));
    painter.setBrush(fill);
    painter.drawRoundedRect(frame, 4 - borderWidth / 2, 4 - borderWidth / 2);

    if (const std::optional<int> count = m_option.count())
        paintBars(painter, *count);
    else
        paintLetter(painter);
}

void ColumnButton::paintBars(QPainter& painter, int count) const
{
    const QRectF content(QPointF((width() - contentSize.width()) / 2, (height() - contentSize.height()) / 2),
                         contentSize);
    const qreal barWidth = (content.width() - barSpacing * (count - 1)) / count;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? white(0.6) : inactiveContent());
    for (int bar = 0; bar < count; ++bar) {
        const QRectF rect(content.left() + bar * (barWidth + barSpacing), content.top(), barWidth,
                          content.height());
        painter.drawRoundedRect(rect, 1, 1);
    }
}

void ColumnButton::paintLetter(QPainter& painter) const
{
    QFont font = BundledFonts::font(18, QFont::DemiBold);
    font.setItalic(true);
    painter.setFont(font);
    painter.setPen(isChecked() ? white(0.9) : inactiveContent());
    // A further slant than the italic face's, nudged right and a point up to sit centred.
    painter.translate(width() / 2.0, height() / 2.0);
    painter.setTransform(QTransform(1, 0, -0.2, 1, 2, -1), true);
    const QRectF box(-width() / 2.0, -height() / 2.0, width(), height());
    painter.drawText(box, Qt::AlignCenter, u"a"_s);
}

} // namespace lumi
