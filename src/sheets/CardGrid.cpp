#include "sheets/CardGrid.h"

#include "sheets/CardView.h"

#include <algorithm>

namespace lumi {

CardGrid::CardGrid(QWidget* parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void CardGrid::addCard(CardView* card)
{
    card->setParent(this);
    m_cards.append(card);
    updateGeometry();
}

std::pair<int, int> CardGrid::columns(int width)
{
    const int count = std::max(1, (width + columnSpacing) / (minimumWidth + columnSpacing));
    return {count, std::min((width - (count - 1) * columnSpacing) / count, maximumWidth)};
}

int CardGrid::heightForWidth(int width) const
{
    return arrange(width, false);
}

QSize CardGrid::sizeHint() const
{
    const int width = 2 * minimumWidth + columnSpacing;
    return QSize(width, heightForWidth(width));
}

void CardGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange(width(), true);
}

int CardGrid::arrange(int width, bool place) const
{
    const auto [count, cardWidth] = columns(width);
    const int used = count * cardWidth + (count - 1) * columnSpacing;
    const int left = std::max(0, (width - used) / 2);
    int top = 0;
    for (int first = 0; first < m_cards.size(); first += count) {
        int rowHeight = 0;
        for (int column = 0; column < count && first + column < m_cards.size(); ++column) {
            CardView* card = m_cards[first + column];
            const int height = card->heightForWidth(cardWidth);
            if (place)
                card->setGeometry(left + column * (cardWidth + columnSpacing), top, cardWidth, height);
            rowHeight = std::max(rowHeight, height);
        }
        top += rowHeight + rowSpacing;
    }
    return m_cards.isEmpty() ? 0 : top - rowSpacing;
}

} // namespace lumi
