#include "browser/SidebarRow.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>

namespace lumi {

namespace {

constexpr int rowHeight = 30;
constexpr int padding = 12;
constexpr int spacing = 8;
constexpr int iconSize = 16;
// The least room kept between the title and the trailing widget, besides the spacing.
constexpr int minimumGap = 4;
constexpr qreal cornerRadius = 7;

} // namespace

SidebarRow::SidebarRow(const QString& title, QWidget* parent) : QWidget(parent), m_title(title)
{
    setFixedHeight(rowHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFont(BundledFonts::font(14, QFont::Normal));
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(title);
    applyTextColour();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, 0, padding, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

void SidebarRow::setTitle(const QString& title)
{
    m_title = title;
    setAccessibleName(title);
    update();
}

void SidebarRow::setIcon(const QIcon& icon)
{
    m_icon = icon;
    update();
}

void SidebarRow::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    applyTextColour();
    update();
}

void SidebarRow::setOutlined(bool outlined)
{
    if (m_outlined == outlined)
        return;
    m_outlined = outlined;
    update();
}

void SidebarRow::applyTextColour()
{
    // The trailing widget inherits the row's text colour, as the title has it.
    const QColor colour = m_selected ? QColor(Qt::white) : Palette::dark();
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    setPalette(palette);
}

void SidebarRow::setTrailing(QWidget* trailing)
{
    auto* layout = static_cast<QHBoxLayout*>(this->layout());
    if (m_trailing) {
        layout->removeWidget(m_trailing);
        delete m_trailing;
    }
    m_trailing = trailing;
    if (trailing)
        layout->addWidget(trailing, 0, Qt::AlignVCenter);
    update();
}

QSize SidebarRow::sizeHint() const
{
    const int trailingWidth = m_trailing ? m_trailing->sizeHint().width() + spacing : 0;
    const int iconWidth = m_icon.isNull() ? 0 : iconSize + spacing;
    return {2 * padding + iconWidth + fontMetrics().horizontalAdvance(m_title) + minimumGap + trailingWidth,
            rowHeight};
}

QSize SidebarRow::minimumSizeHint() const
{
    const int trailingWidth = m_trailing ? m_trailing->sizeHint().width() + spacing : 0;
    return {2 * padding + minimumGap + trailingWidth, rowHeight};
}

QRect SidebarRow::titleRect() const
{
    int left = padding;
    if (!m_icon.isNull())
        left += iconSize + spacing;
    int right = width() - padding;
    if (m_trailing && m_trailing->isVisible())
        right = m_trailing->geometry().left() - spacing - minimumGap;
    return QRect(left, 0, std::max(0, right - left), height());
}

void SidebarRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Palette::dark());
        painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    }
    if (m_outlined)
        paintRing(painter, Palette::dark());
    if (hasFocus())
        paintRing(painter, Palette::focusRing());
    if (!m_icon.isNull()) {
        const QRect iconRect(padding, (height() - iconSize) / 2, iconSize, iconSize);
        m_icon.paint(&painter, iconRect, Qt::AlignCenter, m_selected ? QIcon::Selected : QIcon::Normal);
    }
    const QRect textRect = titleRect();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     fontMetrics().elidedText(m_title, Qt::ElideRight, textRect.width()));
}

void SidebarRow::paintRing(QPainter& painter, const QColor& colour) const
{
    // Stroked inside the border, so the ring is never clipped.
    constexpr qreal ringWidth = 2;
    painter.setPen(QPen(colour, ringWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = ringWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), cornerRadius - inset,
                            cornerRadius - inset);
}

void SidebarRow::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void SidebarRow::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

void SidebarRow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit clicked();
        return;
    case Qt::Key_Up:
    case Qt::Key_Down:
        // Taken at the ends too: the list's scroll area would otherwise scroll away from the focus.
        if (SidebarRow* next = neighbour(event->key() == Qt::Key_Down ? 1 : -1)) {
            next->setFocus(Qt::OtherFocusReason);
            for (QWidget* ancestor = next->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
                if (auto* scroll = qobject_cast<QScrollArea*>(ancestor)) {
                    scroll->ensureWidgetVisible(next, 0, 0);
                    break;
                }
            }
            emit next->clicked();
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

SidebarRow* SidebarRow::neighbour(int step) const
{
    // The list is the nearest ancestor that holds other rows too: a playlist's row sits inside a
    // widget of its own. Rows on their way out of a rebuilt list are hidden already.
    for (QWidget* list = parentWidget(); list; list = list->parentWidget()) {
        QList<SidebarRow*> rows = list->findChildren<SidebarRow*>();
        rows.removeIf([](const SidebarRow* row) { return !row->isVisible() || !row->isEnabled(); });
        if (rows.size() < 2)
            continue;
        std::sort(rows.begin(), rows.end(), [list](const SidebarRow* a, const SidebarRow* b) {
            return a->mapTo(list, QPoint()).y() < b->mapTo(list, QPoint()).y();
        });
        const auto at = std::find(rows.cbegin(), rows.cend(), this) - rows.cbegin() + step;
        return at >= 0 && at < rows.size() ? rows.at(at) : nullptr;
    }
    return nullptr;
}

} // namespace lumi
