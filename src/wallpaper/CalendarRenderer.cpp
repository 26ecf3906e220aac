#include "wallpaper/CalendarRenderer.h"

#include "imaging/BundledFonts.h"
#include "wallpaper/AlphaShadow.h"

#include <QDate>
#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

using RGBA = CalendarRenderer::RGBA;
using Theme = CalendarRenderer::Theme;
using Month = CalendarRenderer::Month;

// Layout of the image at zoom 1, in points, y growing downward.
constexpr qreal imageWidth = 304;
constexpr qreal margin = 8;
constexpr qreal cardLeft = 8;
constexpr qreal cardWidth = 288;
constexpr qreal cardRadius = 10;
constexpr qreal bandHeight = 50;
constexpr qreal titleCentreX = 152;
constexpr qreal titleCentreY = 25;
constexpr qreal labelCentreY = 67;
constexpr qreal gridTop = 84;
constexpr qreal rowHeight = 38;
constexpr qreal dayCentreInRow = 18;
constexpr qreal gridBottomPadding = 4;
constexpr qreal firstColumnX = 32;
constexpr qreal columnWidth = 40;
constexpr qreal todayDiameter = 32;
constexpr qreal titleSize = 17;
constexpr qreal labelSize = 10;
constexpr qreal labelKerning = 0.6;
constexpr qreal daySize = 13;
constexpr int maxMonthsAround = 2;
// Far beyond any screen; keeps a wild zoom from asking for gigabytes.
constexpr qreal maxSide = 32767;

constexpr RGBA rgb(int r, int g, int b, double a = 1)
{
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

qreal cardHeight(const Month& month)
{
    return gridTop + rowHeight * qreal(month.weeks.size()) + gridBottomPadding;
}
qreal columnCentre(int column)
{
    return firstColumnX + columnWidth * column;
}

// A line of text placed in layout points; `halo` marks the texts that get the glow.
struct LaidText
{
    QString text;
    QFont font;
    QPointF origin;
    QColor color;
    bool halo = true;
};

LaidText centred(const QString& text, const QFont& font, qreal centreX, qreal centreY, const RGBA& color,
                 qreal trailingSpacing = 0)
{
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(text) - trailingSpacing;
    return {text, font, QPointF(centreX - width / 2, centreY + metrics.capHeight() / 2), color.toColor()};
}

QPainterPath bandPath(qreal top)
{
    const qreal right = cardLeft + cardWidth;
    const qreal d = 2 * cardRadius;
    QPainterPath path;
    path.moveTo(cardLeft, top + bandHeight);
    path.lineTo(cardLeft, top + cardRadius);
    path.arcTo(QRectF(cardLeft, top, d, d), 180, -90);
    path.lineTo(right - cardRadius, top);
    path.arcTo(QRectF(right - d, top, d, d), 90, -90);
    path.lineTo(right, top + bandHeight);
    path.closeSubpath();
    return path;
}

// Every shape of one card; its texts are only laid out here and drawn after all shapes.
void drawCard(QPainter& painter, const Theme& theme, const Month& month, qreal top, qreal scale,
              const QStringList& labels, const QString& lang, bool mondayFirst, QList<LaidText>& texts)
{
    const QRectF card(cardLeft, top, cardWidth, cardHeight(month));

    if (theme.card) {
        const QRectF shadowShape = card.translated(0, 1);
        AlphaShadow::paint(
            painter, shadowShape, 6 * scale, QColor::fromRgbF(0, 0, 0, 0.3f),
            [&](QPainter& mask) { mask.drawRoundedRect(shadowShape, cardRadius, cardRadius); });
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme.card->toColor());
        painter.drawRoundedRect(card, cardRadius, cardRadius);
    }
    if (theme.scrim) {
        const QRectF scrimShape = card.adjusted(margin, margin, -margin, -margin);
        AlphaShadow::paint(painter, scrimShape, 14 * scale, theme.scrim->toColor(),
                           [&](QPainter& mask) { mask.drawRoundedRect(scrimShape, 24, 24); });
    }
    if (theme.band) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme.band->toColor());
        painter.drawPath(bandPath(top));
    }

    texts.append(centred(CalendarRenderer::monthTitle(month.year, month.month, lang),
                         CalendarRenderer::calendarFont(titleSize), titleCentreX, top + titleCentreY,
                         theme.title));

    if (labels.size() == 7) {
        QFont labelFont = CalendarRenderer::calendarFont(labelSize);
        labelFont.setLetterSpacing(QFont::AbsoluteSpacing, labelKerning);
        for (int column = 0; column < 7; ++column) {
            const qsizetype index = mondayFirst ? (column + 1) % 7 : column;
            texts.append(centred(labels[index], labelFont, columnCentre(column), top + labelCentreY,
                                 theme.label, labelKerning));
        }
    }

    const QFont dayFont = CalendarRenderer::calendarFont(daySize);
    for (qsizetype row = 0; row < month.weeks.size(); ++row) {
        const qreal centreY = top + gridTop + rowHeight * qreal(row) + dayCentreInRow;
        for (int column = 0; column < 7; ++column) {
            const CalendarRenderer::Cell& cell = month.weeks[row][column];
            const qreal centreX = columnCentre(column);
            const QString digits = QString::number(cell.day);
            if (cell.today) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(theme.today.toColor());
                const qreal radius = todayDiameter / 2;
                painter.drawEllipse(QRectF(centreX - radius, centreY - radius, todayDiameter, todayDiameter));
                LaidText text = centred(digits, dayFont, centreX, centreY, theme.todayText);
                text.halo = false;
                texts.append(text);
            } else {
                texts.append(
                    centred(digits, dayFont, centreX, centreY, cell.inMonth ? theme.text : theme.other));
            }
        }
    }
}

// Each text's glyphs, widened by half the 1.2-point outline and blurred, one small mask per text.
void drawHalos(QPainter& painter, const QList<LaidText>& texts, const QColor& color, qreal scale)
{
    for (const LaidText& text : texts) {
        if (!text.halo)
            continue;
        const QRectF bounds = QFontMetricsF(text.font).boundingRect(text.text).translated(text.origin);
        AlphaShadow::paint(
            painter, bounds, 2.8 * scale, color,
            [&](QPainter& mask) {
                mask.setFont(text.font);
                mask.setPen(Qt::black);
                mask.drawText(text.origin, text.text);
            },
            0.6 * scale);
    }
}

QHash<QString, Theme> buildThemes()
{
    const RGBA white = RGBA::white();
    const RGBA ink = rgb(26, 26, 26);
    const RGBA label = rgb(118, 118, 118);
    const RGBA other = rgb(196, 196, 196);
    const RGBA dark = rgb(33, 33, 33);
    // clang-format off
    //                   card                band                  title             text                label                     other                     today                 todayText        scrim                     halo
    return {
        {u"classic"_s,     {white,             rgb(0, 0, 0),         white,            ink,                label,                    other,                    rgb(244, 67, 54),     white,           {},                       {}}},
        {u"grey"_s,        {white,             rgb(204, 204, 204),   ink,              ink,                label,                    other,                    rgb(176, 176, 176),   ink,             {},                       {}}},
        {u"skyblue"_s,     {white,             rgb(227, 242, 253),   rgb(13, 71, 161), ink,                label,                    other,                    rgb(144, 202, 249),   rgb(13, 71, 161), {},                      {}}},
        {u"blue"_s,        {white,             rgb(59, 77, 112),     white,            ink,                label,                    other,                    rgb(92, 111, 145),    white,           {},                       {}}},
        {u"yellow"_s,      {white,             rgb(255, 235, 59),    dark,             ink,                label,                    other,                    rgb(255, 245, 157),   dark,            {},                       {}}},
        {u"clear"_s,       {{},                {},                   dark,             dark,               rgb(74, 74, 74),          rgb(33, 33, 33, 0.45),    rgb(211, 211, 211),   dark,            rgb(255, 255, 255, 0.5),  rgb(255, 255, 255, 0.5)}},
        {u"midnight"_s,    {rgb(30, 33, 40),   rgb(20, 22, 27),      white,            rgb(236, 238, 242), rgb(139, 145, 156),       rgb(84, 90, 101),         white,                rgb(30, 33, 40), {},                       {}}},
        {u"clear-white"_s, {{},                {},                   white,            white,              rgb(255, 255, 255, 0.8),  rgb(255, 255, 255, 0.5),  white,                ink,             rgb(0, 0, 0, 0.4),        rgb(0, 0, 0, 0.5)}},
        {u"forest"_s,      {white,             rgb(46, 94, 78),      white,            ink,                label,                    other,                    rgb(46, 94, 78),      white,           {},                       {}}},
        {u"plum"_s,        {white,             rgb(91, 63, 117),     white,            ink,                label,                    other,                    rgb(91, 63, 117),     white,           {},                       {}}},
    };
    // clang-format on
}

} // namespace

CalendarRenderer::Theme CalendarRenderer::theme(const QString& name)
{
    static const QHash<QString, Theme> themes = buildThemes();
    const auto found = themes.constFind(name);
    return found != themes.constEnd() ? *found : themes.value(u"classic"_s);
}

QFont CalendarRenderer::calendarFont(qreal size)
{
    QFont font = BundledFonts::font(size, QFont::DemiBold);
    // Unhinted outlines keep widths proportional, so the layout holds at every zoom.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

const QStringList& CalendarRenderer::supportedLanguages()
{
    static const QStringList languages{u"en"_s, u"de"_s, u"es"_s, u"fr"_s, u"it"_s, u"nl"_s, u"pt"_s};
    return languages;
}

QString CalendarRenderer::supportedLanguage(const QString& lang)
{
    return supportedLanguages().contains(lang) ? lang : u"en"_s;
}

QSizeF CalendarRenderer::imageSize(const CalendarRequest& request)
{
    const QList<Month> cards = months(request);
    qreal height = margin * qreal(cards.size() + 1);
    for (const Month& month : cards)
        height += cardHeight(month);
    return {imageWidth, height};
}

QList<CalendarRenderer::Month> CalendarRenderer::months(const CalendarRequest& request)
{
    const QDate first(request.year, request.month, 1);
    if (!first.isValid())
        return {};
    const int past = std::clamp(request.past, 0, maxMonthsAround);
    const int future = std::clamp(request.future, 0, maxMonthsAround);
    QList<Month> result;
    for (int offset = -past; offset <= future; ++offset) {
        const QDate shifted = first.addMonths(offset);
        if (shifted.isValid())
            result.append(monthGrid(shifted.year(), shifted.month(), request));
    }
    return result;
}

CalendarRenderer::Month CalendarRenderer::monthGrid(int year, int month, const CalendarRequest& request)
{
    Month grid{year, month, {}};
    const QDate first(year, month, 1);
    if (!first.isValid())
        return grid;
    const int weekday = first.dayOfWeek() % 7 + 1; // 1 = Sunday … 7 = Saturday
    const int lead = (weekday - 1 - (request.mondayFirst ? 1 : 0) + 7) % 7;
    // A month that ends on the last column still gets a trailing row of the next month.
    const int rows = (lead + first.daysInMonth()) / 7 + 1;
    for (int row = 0; row < rows; ++row) {
        QList<Cell> week;
        week.reserve(7);
        for (int column = 0; column < 7; ++column) {
            const QDate date = first.addDays(7 * row + column - lead);
            const bool inMonth = date.month() == month;
            const bool today = inMonth && date.year() == request.year && date.month() == request.month &&
                               date.day() == request.day;
            week.append({date.day(), inMonth, today});
        }
        grid.weeks.append(week);
    }
    return grid;
}

QString CalendarRenderer::monthTitle(int year, int month, const QString& lang)
{
    // The languages' own "month and year" patterns.
    const bool withDe = lang == u"es" || lang == u"pt";
    return QLocale(lang).toString(QDate(year, month, 15), withDe ? u"MMMM 'de' yyyy"_s : u"MMMM yyyy"_s);
}

QStringList CalendarRenderer::weekdaySymbols(const QString& lang)
{
    const QLocale locale(lang);
    QStringList symbols;
    for (int day : {7, 1, 2, 3, 4, 5, 6}) { // Qt counts from Monday
        const QString name = locale.standaloneDayName(day, QLocale::ShortFormat);
        if (name.isEmpty())
            return {};
        symbols.append(locale.toUpper(name));
    }
    return symbols;
}

std::optional<QImage> CalendarRenderer::render(const CalendarRequest& request, double zoom)
{
    if (!std::isfinite(zoom) || zoom <= 0)
        return std::nullopt;
    const QList<Month> cards = months(request);
    if (cards.isEmpty())
        return std::nullopt;
    const QSizeF size = imageSize(request);
    const qreal pixelWidth = std::max<qreal>(1, std::round(zoom * size.width()));
    const qreal pixelHeight = std::max<qreal>(1, std::round(zoom * size.height()));
    if (pixelWidth > maxSide || pixelHeight > maxSide)
        return std::nullopt;

    QImage image(int(pixelWidth), int(pixelHeight), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return std::nullopt;
    image.fill(Qt::transparent);

    const Theme colours = theme(request.theme);
    const QString lang = supportedLanguage(request.lang);
    const QStringList labels = weekdaySymbols(lang);
    const qreal scale = pixelWidth / size.width();

    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setTransform(QTransform::fromScale(scale, pixelHeight / size.height()));

    // All shapes of all cards first, so no card's shadow falls over another card's texts.
    QList<LaidText> texts;
    qreal top = margin;
    for (const Month& month : cards) {
        drawCard(painter, colours, month, top, scale, labels, lang, request.mondayFirst, texts);
        top += cardHeight(month) + margin;
    }

    if (colours.halo)
        drawHalos(painter, texts, colours.halo->toColor(), scale);

    for (const LaidText& text : std::as_const(texts)) {
        painter.setFont(text.font);
        painter.setPen(text.color);
        painter.drawText(text.origin, text.text);
    }
    painter.end();
    return image;
}

} // namespace lumi
