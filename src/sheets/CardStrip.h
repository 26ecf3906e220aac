#pragma once

#include "sheets/Card.h"

#include <QList>
#include <QWidget>

#include <functional>

class QNetworkAccessManager;
class QPropertyAnimation;
class QPushButton;
class QScrollArea;

namespace lumi {

class LazyCards;

/// A row of 200-wide cards that scrolls sideways, paged by round Back and More buttons laid over
/// its ends: a page keeps one card of the last in view. A card is made once it scrolls near view.
/// The paging rules are pure functions of the strip's width, the card at its leading edge and the
/// card count; whether Back and More show follows the scroll offset, so that More pages until the
/// last card is fully in view whatever the width, a partly shown card included.
class CardStrip final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CardStrip)

public:
    static constexpr int cardWidth = 200;
    static constexpr int spacing = 14;

    using Open = std::function<void(const Card&)>;

    CardStrip(QList<Card> cards, Open open, QNetworkAccessManager& network, QWidget* parent = nullptr);

    /// Whole cards that fit in width (the last needs no spacing after it); at least 1.
    static int visibleCount(qreal width);
    /// The index of the card with the id position; 0 when there is none or no such card.
    static int currentIndex(const std::optional<QString>& position, const QList<Card>& cards);
    /// Where a page Back (-1) or More (+1) lands from index.
    static int pageTarget(int index, int direction, int visible, int count);
    /// offset is the scroll offset; end the offset at which the last card is fully in view.
    static bool showsBack(int offset) { return offset > 0; }
    static bool showsMore(int offset, int end) { return offset < end; }

    /// The id of the card at the leading edge now.
    std::optional<QString> position() const;
    /// Pages with the same rule as the buttons, animated.
    void scroll(int direction);
    /// Whether Back and More are on show (or fading in).
    bool backShown() const { return m_backShown; }
    bool moreShown() const { return m_moreShown; }
    const LazyCards& views() const { return *m_views; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateButtons();
    QPushButton* arrow(bool forward);
    void fade(QPushButton* button, bool& current, bool shown);
    int indexAt(int scrollValue) const;

    QList<Card> m_cards;
    QScrollArea* m_scroll;
    LazyCards* m_views;
    QPushButton* m_back;
    QPushButton* m_more;
    QPropertyAnimation* m_paging;
    bool m_backShown = false;
    bool m_moreShown = false;
};

} // namespace lumi
