#include "sheets/CardStrip.h"

#include "sheets/CardView.h"
#include "sheets/LazyCards.h"
#include "widgets/Palette.h"
#include "widgets/SymbolIcon.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int slot = CardStrip::cardWidth + CardStrip::spacing;
constexpr int arrowSide = 34;
// Centres the circle on the 112.5-high cover of a 200-wide card.
constexpr int arrowTop = 39;
constexpr int arrowInset = 6;

} // namespace

CardStrip::CardStrip(QList<Card> cards, Open open, QNetworkAccessManager& network, QWidget* parent)
    : QWidget(parent), m_cards(std::move(cards))
{
    setObjectName(u"places.strip"_s);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* row = new QWidget(m_scroll);
    row->setAutoFillBackground(false);
    const int cardHeight = CardView::height(cardWidth, true);
    row->setFixedSize(std::max(int(m_cards.size()) * slot - spacing, 0), cardHeight);
    m_scroll->setWidget(row);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_views = new LazyCards(m_cards, cardWidth, std::move(open), network, *row, *m_scroll);
    QList<QRect> places;
    for (int index = 0; index < m_cards.size(); ++index)
        places.append(QRect(index * slot, 0, cardWidth, cardHeight));
    m_views->setPlaces(places);
    setFixedHeight(cardHeight);

    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);

    m_back = arrow(false);
    m_more = arrow(true);
    m_paging = new QPropertyAnimation(m_scroll->horizontalScrollBar(), "value", this);
    m_paging->setDuration(350);
    m_paging->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::valueChanged, this, &CardStrip::updateButtons);
    connect(m_scroll->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &CardStrip::updateButtons);
    updateButtons();
}

int CardStrip::visibleCount(qreal width)
{
    return std::max(1, int((width + spacing) / slot));
}

int CardStrip::currentIndex(const std::optional<QString>& position, const QList<Card>& cards)
{
    if (!position)
        return 0;
    const auto found =
        std::find_if(cards.cbegin(), cards.cend(), [&](const Card& card) { return card.id == *position; });
    return found == cards.cend() ? 0 : int(found - cards.cbegin());
}

int CardStrip::pageTarget(int index, int direction, int visible, int count)
{
    const int step = std::max(visible - 1, 1);
    const int last = std::max(count - visible, 0);
    return std::clamp(index + direction * step, 0, last);
}

int CardStrip::indexAt(int scrollValue) const
{
    return std::clamp(qRound(scrollValue / double(slot)), 0, std::max(int(m_cards.size()) - 1, 0));
}

std::optional<QString> CardStrip::position() const
{
    if (m_cards.isEmpty())
        return std::nullopt;
    return m_cards[indexAt(m_scroll->horizontalScrollBar()->value())].id;
}

void CardStrip::scroll(int direction)
{
    const int index =
        pageTarget(currentIndex(position(), m_cards), direction, visibleCount(width()), int(m_cards.size()));
    QScrollBar* bar = m_scroll->horizontalScrollBar();
    m_paging->stop();
    m_paging->setStartValue(bar->value());
    m_paging->setEndValue(std::min(index * slot, bar->maximum()));
    m_paging->start();
}

void CardStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_back->move(arrowInset, arrowTop);
    m_more->move(width() - arrowInset - arrowSide, arrowTop);
    updateButtons();
}

void CardStrip::updateButtons()
{
    // While a page animates, the buttons follow where it lands.
    const QScrollBar* bar = m_scroll->horizontalScrollBar();
    const int offset = m_paging && m_paging->state() == QAbstractAnimation::Running
                           ? m_paging->endValue().toInt()
                           : bar->value();
    fade(m_back, m_backShown, showsBack(offset));
    fade(m_more, m_moreShown, showsMore(offset, bar->maximum()));
}

QPushButton* CardStrip::arrow(bool forward)
{
    auto* button = new QPushButton(this);
    button->setObjectName(forward ? u"strip.more"_s : u"strip.back"_s);
    button->setToolTip(forward ? tr("More") : tr("Back"));
    button->setFixedSize(arrowSide, arrowSide);
    button->setCursor(Qt::PointingHandCursor);
    button->setIcon(forward ? SymbolIcon::themed(u"go-next"_s, u"chevron.right"_s)
                            : SymbolIcon::themed(u"go-previous"_s, u"chevron.left"_s));
    button->setIconSize(QSize(14, 14));
    QColor ring = Palette::muted();
    ring.setAlphaF(0.25);
    button->setStyleSheet(
        u"QPushButton { background: rgba(255, 255, 255, 235); border: 1px solid %1; border-radius: %2px; }"_s
            .arg(ring.name(QColor::HexArgb))
            .arg(arrowSide / 2));
    auto* opacity = new QGraphicsOpacityEffect(button);
    opacity->setOpacity(0);
    button->setGraphicsEffect(opacity);
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, forward] { scroll(forward ? 1 : -1); });
    button->raise();
    return button;
}

void CardStrip::fade(QPushButton* button, bool& current, bool shown)
{
    if (current == shown)
        return;
    current = shown;
    auto* opacity = static_cast<QGraphicsOpacityEffect*>(button->graphicsEffect());
    auto* animation = new QPropertyAnimation(opacity, "opacity", button);
    animation->setDuration(150);
    animation->setEasingCurve(QEasingCurve::OutQuad);
    animation->setEndValue(shown ? 1.0 : 0.0);
    if (shown)
        button->show();
    // A hidden button takes no clicks; it hides once faded, unless it was called back meanwhile.
    connect(animation, &QPropertyAnimation::finished, button,
            [button, &current] { button->setVisible(current); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace lumi
