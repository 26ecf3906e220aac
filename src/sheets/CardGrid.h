#pragma once

#include "sheets/LazyCards.h"

#include <QWidget>

class QAbstractScrollArea;
class QNetworkAccessManager;

namespace lumi {

/// Cards in as many columns as fit at 200 or more wide, none wider than 320, the rows centred:
/// the places home. A card is made once its place scrolls near view.
class CardGrid final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CardGrid)

public:
    static constexpr int minimumWidth = 200;
    static constexpr int maximumWidth = 320;
    static constexpr int columnSpacing = 18;
    static constexpr int rowSpacing = 20;

    /// The grid lies inside scroll's viewport.
    CardGrid(QList<Card> cards, LazyCards::Open open, QNetworkAccessManager& network,
             QAbstractScrollArea& scroll, QWidget* parent);

    /// The number of columns and the card width for an available width.
    static std::pair<int, int> columns(int width);
    const LazyCards& cards() const { return *m_cards; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    /// The place of every card in width.
    QList<QRect> places(int width) const;

    LazyCards* m_cards;
};

} // namespace lumi
