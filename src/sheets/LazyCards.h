#pragma once

#include "sheets/Card.h"

#include <QList>
#include <QObject>
#include <QRect>

#include <functional>
#include <optional>

class QAbstractScrollArea;
class QNetworkAccessManager;

namespace lumi {

class CardView;

/// The cards of a scrolling list, each made (and so its cover asked for) only once its place
/// comes near the visible part of the scroll area: a long list costs nothing until scrolled to.
/// The host lays out places for every card; this puts the made cards on them.
class LazyCards final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LazyCards)

public:
    /// Called with the clicked card.
    using Open = std::function<void(const Card&)>;
    /// How far beyond the visible part cards are made, so a short scroll shows no empty place.
    static constexpr int margin = 100;

    /// host lies inside scroll's viewport; width is that of every card (CardView).
    LazyCards(QList<Card> cards, std::optional<int> width, Open open, QNetworkAccessManager& network,
              QWidget& host, QAbstractScrollArea& scroll);

    const QList<Card>& cards() const { return m_cards; }
    /// The place of each card in the host, in card order.
    void setPlaces(QList<QRect> places);
    /// How many cards have been made so far.
    qsizetype madeCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reveal();

    QList<Card> m_cards;
    std::optional<int> m_width;
    Open m_open;
    QNetworkAccessManager& m_network;
    QWidget& m_host;
    QAbstractScrollArea& m_scroll;
    QList<QRect> m_places;
    QList<CardView*> m_views;
};

} // namespace lumi
