#include "sheets/CardView.h"

#include "imaging/BundledFonts.h"
#include "sheets/SheetText.h"
#include "sheets/Symbol.h"
#include "widgets/Palette.h"
#include "widgets/PictureFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextLayout>
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
    m_name = SheetText::label(m_card.name, nameSize(width.has_value()), Palette::dark(), this);
    m_name->setObjectName(u"card.name"_s);
    m_name->setFixedHeight(nameHeight(width.has_value()));
    // Two lines, reserved even for a short name, so the cards of a strip line up; one in a grid.
    m_nameLines = width ? 2 : 1;
    m_name->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    // A long name is cut with "…" wherever the label's width leaves it.
    m_name->installEventFilter(this);
    titleRow->addWidget(m_name, 1);
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

QString CardView::fitted(const QString& name, const QFont& font, int width, int lines)
{
    const QFontMetrics metrics(font);
    QTextLayout layout(name, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList shown;
    for (int index = 0; index < lines; ++index) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        const bool last = index == lines - 1;
        const QString rest = name.mid(line.textStart());
        shown.append(last ? metrics.elidedText(rest.simplified(), Qt::ElideRight, width)
                          : name.mid(line.textStart(), line.textLength()).trimmed());
    }
    layout.endLayout();
    return shown.join(u'\n');
}

bool CardView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_name && event->type() == QEvent::Resize)
        m_name->setText(fitted(m_card.name, m_name->font(), m_name->width(), m_nameLines));
    return QAbstractButton::eventFilter(watched, event);
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
