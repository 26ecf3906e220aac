#include "sheets/CardGrid.h"

#include "sheets/CardView.h"

#include <algorithm>

namespace lumi {

CardGrid::CardGrid(QList<Card> cards, LazyCards::Open open, QNetworkAccessManager& network,
                   QAbstractScrollArea& scroll, QWidget* parent)
    : QWidget(parent),
      m_cards(new LazyCards(std::move(cards), std::nullopt, std::move(open), network, *this, scroll))
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

std::pair<int, int> CardGrid::columns(int width)
{
    const int count = std::max(1, (width + columnSpacing) / (minimumWidth + columnSpacing));
    return {count, std::min((width - (count - 1) * columnSpacing) / count, maximumWidth)};
}

int CardGrid::heightForWidth(int width) const
{
    const QList<QRect> all = places(width);
    return all.isEmpty() ? 0 : all.last().bottom() + 1;
}

QSize CardGrid::sizeHint() const
{
    const int width = 2 * minimumWidth + columnSpacing;
    return QSize(width, heightForWidth(width));
}

void CardGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_cards->setPlaces(places(width()));
}

QList<QRect> CardGrid::places(int width) const
{
    const auto [count, cardWidth] = columns(width);
    const int cardHeight = CardView::height(cardWidth, false);
    const int used = count * cardWidth + (count - 1) * columnSpacing;
    const int left = std::max(0, (width - used) / 2);
    QList<QRect> all;
    for (int index = 0; index < m_cards->cards().size(); ++index) {
        const int row = index / count;
        const int column = index % count;
        all.append(QRect(left + column * (cardWidth + columnSpacing), row * (cardHeight + rowSpacing),
                         cardWidth, cardHeight));
    }
    return all;
}

} // namespace lumi
