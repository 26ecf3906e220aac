#pragma once

#include <QIcon>
#include <QWidget>

class QPainter;

namespace lumi {

/// One selectable entry of a sidebar list: an optional icon, a one-line title cut off at its end,
/// and an optional trailing widget at the right edge. A selected row is white on a dark rounded
/// background. A click anywhere outside the trailing widget emits `clicked`; what is selected is
/// the list's to decide. From the keyboard, Space or Return clicks it, and the arrow keys move the
/// focus to the row above or below and click that one; the row with the focus wears a ring.
class SidebarRow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SidebarRow)

public:
    explicit SidebarRow(const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }
    /// Shown verbatim; callers pass finished text.
    void setTitle(const QString& title);
    void setIcon(const QIcon& icon);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    /// The dark ring a row wears while photos are dragged over it.
    bool isOutlined() const { return m_outlined; }
    void setOutlined(bool outlined);
    /// Takes ownership; the widget keeps its own size at the right edge.
    void setTrailing(QWidget* trailing);
    QWidget* trailing() const { return m_trailing; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// Where the title may be drawn: after the icon, before the trailing widget.
    QRect titleRect() const;
    void paintRing(QPainter& painter, const QColor& colour) const;
    /// The row step places away in the list this row is in, if there is one.
    SidebarRow* neighbour(int step) const;
    void applyTextColour();

    QString m_title;
    QIcon m_icon;
    bool m_selected = false;
    bool m_outlined = false;
    bool m_pressed = false;
    QWidget* m_trailing = nullptr;
};

} // namespace lumi
