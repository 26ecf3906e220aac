#include "sheets/CardView.h"

#include "app/Palette.h"
#include "app/PictureFrame.h"
#include "imaging/BundledFonts.h"
#include "sheets/SheetText.h"
#include "sheets/Symbol.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// The largest a cover is drawn: a home grid column at its widest.
constexpr QSize largestCover(320, 180);
constexpr int spacing = 6;
constexpr int subtitleSize = 12;

qreal nameSize(bool fixedWidth)
{
    return fixedWidth ? 13 : 14;
}

// One line in the home grid; two in a strip.
int nameHeight(bool fixedWidth)
{
    const QFontMetrics metrics(BundledFonts::font(nameSize(fixedWidth), QFont::Normal));
    return fixedWidth ? metrics.lineSpacing() * 2 : metrics.height();
}

} // namespace

CardView::CardView(Card card, std::optional<int> width, QNetworkAccessManager& network, QWidget* parent)
    : QAbstractButton(parent), m_card(std::move(card))
{
    setObjectName(u"card:"_s + m_card.id);
    setCursor(Qt::PointingHandCursor);
    setToolTip(m_card.name);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);

    m_cover = new PictureFrame(largestCover, 8, this);
    m_cover->setSource(network, m_card.cover ? m_card.cover->thumbnailURL() : std::nullopt);
    column->addWidget(m_cover);

    auto* titleRow = new QHBoxLayout;
    titleRow->setSpacing(4);
    if (m_card.place) {
        auto* star = new QLabel(this);
        star->setObjectName(u"card.star"_s);
        star->setPixmap(Symbol::pixmap(Symbol::Kind::star, 10, Palette::muted(), devicePixelRatioF()));
        titleRow->addWidget(star, 0, Qt::AlignVCenter);
    }
    QLabel* name = SheetText::label(m_card.name, nameSize(width.has_value()), Palette::dark(), this);
    name->setObjectName(u"card.name"_s);
    name->setFixedHeight(nameHeight(width.has_value()));
    if (width) {
        // Two lines, reserved even for a short name, so the cards of a strip line up.
        name->setWordWrap(true);
        name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    } else {
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    }
    titleRow->addWidget(name, 1);
    column->addLayout(titleRow);

    QLabel* count = SheetText::label(subtitle(m_card), subtitleSize, Palette::muted(), this);
    count->setObjectName(u"card.subtitle"_s);
    count->setFixedHeight(QFontMetrics(count->font()).height());
    column->addWidget(count);

    if (width) {
        setFixedWidth(*width);
        m_cover->setFixedSize(*width, m_cover->heightForWidth(*width));
    }
}

int CardView::height(int width, bool fixedWidth)
{
    const int subtitle = QFontMetrics(BundledFonts::font(subtitleSize, QFont::Normal)).height();
    return PictureFrame::frameHeight(width) + spacing + nameHeight(fixedWidth) + spacing + subtitle;
}

QString CardView::subtitle(const Card& card)
{
    QString text = card.photos == 1 ? tr("1 photo") : tr("%1 photos").arg(card.photos);
    if (card.state)
        text += u" · "_s + *card.state;
    return text;
}

void CardView::paintEvent(QPaintEvent*)
{
    // The children draw the card; the button itself is only the click target.
}

void CardView::enterEvent(QEnterEvent* event)
{
    m_cover->setOutlined(true);
    QAbstractButton::enterEvent(event);
}

void CardView::leaveEvent(QEvent* event)
{
    m_cover->setOutlined(false);
    QAbstractButton::leaveEvent(event);
}

} // namespace lumi
