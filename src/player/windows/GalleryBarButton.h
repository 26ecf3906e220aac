#pragma once

#include <QToolButton>

#include <optional>

namespace lumi {

/// A button of the gallery's bar: a white symbol, or a white text with a small chevron for a
/// menu, drawn straight on the bar's dark capsule. No bezel and no hover box in any style or
/// state (after a menu closes the style would keep its pressed panel, light on light); a press
/// dims it. Drawn as vectors, so it is sharp at any scale.
class GalleryBarButton final : public QToolButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GalleryBarButton)

public:
    enum class Symbol { previous, play, pause, next, close };

    /// A symbol button, 28 by 28 with an 18-point symbol.
    GalleryBarButton(Symbol symbol, const QString& tip, QWidget* parent = nullptr);
    /// A menu button showing its text.
    explicit GalleryBarButton(QWidget* parent = nullptr);

    void setSymbol(Symbol symbol);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintSymbol(QPainter& painter, Symbol symbol) const;
    void paintText(QPainter& painter) const;

    std::optional<Symbol> m_symbol;
};

} // namespace lumi
