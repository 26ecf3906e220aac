#pragma once

#include <QList>
#include <QWidget>

namespace lumi {

class CardView;

/// Cards in as many columns as fit at 200 or more wide, none wider than 320, the rows centred:
/// the places home.
class CardGrid final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CardGrid)

public:
    static constexpr int minimumWidth = 200;
    static constexpr int maximumWidth = 320;
    static constexpr int columnSpacing = 18;
    static constexpr int rowSpacing = 20;

    explicit CardGrid(QWidget* parent = nullptr);

    void addCard(CardView* card);
    /// The number of columns and the card width for an available width.
    static std::pair<int, int> columns(int width);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Lays the cards out in width when place is true; returns the height they take.
    int arrange(int width, bool place) const;

    QList<CardView*> m_cards;
};

} // namespace lumi
