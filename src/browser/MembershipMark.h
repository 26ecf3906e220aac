#pragma once

#include <QAbstractButton>

namespace lumi {

/// Whether a playlist feeds the wallpaper rotation (a circle) or the screen saver (a square):
/// filled with a check mark when it does, an outline when not. Painted, so it looks the same
/// without an icon theme.
class MembershipMark final : public QAbstractButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MembershipMark)

public:
    enum class Kind { wallpaper, saver };

    MembershipMark(Kind kind, bool included, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    bool isIncluded() const { return m_included; }
    QSize sizeHint() const override;

    /// The symbol alone, for the legend.
    static QPixmap symbol(Kind kind, bool included, const QColor& colour, int size, qreal devicePixelRatio);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static void paintSymbol(QPainter& painter, const QRectF& box, Kind kind, bool included,
                            const QColor& colour);

    Kind m_kind;
    bool m_included;
};

} // namespace lumi
