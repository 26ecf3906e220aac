#include "sheets/LazyCards.h"

#include "sheets/CardView.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>

namespace lumi {

LazyCards::LazyCards(QList<Card> cards, std::optional<int> width, Open open, QNetworkAccessManager& network,
                     QWidget& host, QAbstractScrollArea& scroll)
    : QObject(&host), m_cards(std::move(cards)), m_width(width), m_open(std::move(open)), m_network(network),
      m_host(host), m_scroll(scroll), m_views(m_cards.size(), nullptr)
{
    for (QScrollBar* bar : {scroll.horizontalScrollBar(), scroll.verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &LazyCards::reveal);
    scroll.viewport()->installEventFilter(this);
}

void LazyCards::setPlaces(QList<QRect> places)
{
    m_places = std::move(places);
    for (qsizetype index = 0; index < m_views.size() && index < m_places.size(); ++index) {
        if (m_views[index])
            m_views[index]->setGeometry(m_places[index]);
    }
    reveal();
}

qsizetype LazyCards::madeCount() const
{
    return std::count_if(m_views.cbegin(), m_views.cend(), [](const CardView* view) { return view; });
}

bool LazyCards::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        reveal();
    return QObject::eventFilter(watched, event);
}

void LazyCards::reveal()
{
    QWidget* viewport = m_scroll.viewport();
    const QRect near = QRect(m_host.mapFrom(viewport, QPoint(0, 0)), viewport->size())
                           .adjusted(-margin, -margin, margin, margin);
    for (qsizetype index = 0; index < m_views.size() && index < m_places.size(); ++index) {
        if (m_views[index] || !m_places[index].intersects(near))
            continue;
        auto* view = new CardView(m_cards[index], m_width, m_network, &m_host);
        connect(view, &CardView::clicked, this, [this, index] { m_open(m_cards[index]); });
        view->setGeometry(m_places[index]);
        view->show();
        m_views[index] = view;
    }
}

} // namespace lumi
