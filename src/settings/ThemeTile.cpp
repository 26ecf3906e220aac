#include "settings/ThemeTile.h"

#include "imaging/BundledFonts.h"
#include "widgets/Palette.h"

#include <QPainter>
#include <QPainterPath>

namespace lumi {

namespace {

constexpr int tileHeight = 28;
constexpr qreal cornerRadius = 5;
constexpr qreal labelSize = 12;
// A label that does not fit shrinks, down to this share of its size.
constexpr qreal smallestScale = 0.8;

} // namespace

ThemeTile::ThemeTile(const QString& label, QWidget* parent) : QAbstractButton(parent)
{
    setText(label);
    setAccessibleName(label);
    setCheckable(true);
    setFont(BundledFonts::font(labelSize, QFont::Normal));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

QSize ThemeTile::sizeHint() const
{
    return {10, tileHeight};
}

QSize ThemeTile::minimumSizeHint() const
{
    return sizeHint();
}

void ThemeTile::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = isChecked() ? 2 : 1;
    const QRectF card = QRectF(rect()).adjusted(edge / 2, edge / 2, -edge / 2, -edge / 2);
    painter.setPen(QPen(isChecked() ? Palette::dark() : Palette::lightGray(), edge));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(card, cornerRadius, cornerRadius);

    QFont label = font();
    const qreal room = width() - 2 * (edge + 2);
    const qreal wide = QFontMetricsF(label).horizontalAdvance(text());
    if (wide > room && wide > 0)
        label.setPixelSize(qRound(labelSize * std::max(smallestScale, room / wide)));
    painter.setFont(label);
    painter.setPen(Palette::dark());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
}

} // namespace lumi
