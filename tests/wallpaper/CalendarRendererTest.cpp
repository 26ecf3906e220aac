#include "wallpaper/CalendarRenderer.h"

#include <QtConcurrent>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace lumi;

namespace {

CalendarRequest makeRequest(int year, int month, int day, bool mondayFirst = false, int past = 0,
                            int future = 0, const QString& theme = u"classic"_s,
                            const QString& lang = u"en"_s)
{
    CalendarRequest request;
    request.theme = theme;
    request.year = year;
    request.month = month;
    request.day = day;
    request.mondayFirst = mondayFirst;
    request.past = past;
    request.future = future;
    request.lang = lang;
    return request;
}

// The pixel under a point of the zoom-1 layout.
QRgb probe(const QImage& image, qreal zoom, qreal x, qreal y)
{
    return image.pixel(int(std::floor(x * zoom)), int(std::floor(y * zoom)));
}

int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

QRgb premultiplied(const QColor& color)
{
    return qPremultiply(color.rgba());
}

// How close any pixel of a layout box comes to a colour: finds a text's ink among its anti-aliased edges.
int closestIn(const QImage& image, qreal zoom, const QRectF& box, const QColor& color)
{
    const QRect pixels = QRectF(box.topLeft() * zoom, box.size() * zoom).toAlignedRect() & image.rect();
    const QRgb wanted = premultiplied(color);
    int best = 255;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y)
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            best = std::min(best, distance(image.pixel(x, y), wanted));
    return best;
}

QRectF around(qreal x, qreal y, qreal halfWidth, qreal halfHeight)
{
    return {x - halfWidth, y - halfHeight, 2 * halfWidth, 2 * halfHeight};
}

QColor rgb(int r, int g, int b, qreal a = 1)
{
    return QColor::fromRgbF(r / 255.f, g / 255.f, b / 255.f, float(a));
}

} // namespace

class CalendarRendererTest final : public QObject
{
    Q_OBJECT

private slots:
    void monthGrid_data();
    void monthGrid();
    void months_data();
    void months();
    void imageSize_data();
    void imageSize();
    void themeColours_data();
    void themeColours();
    void todayCircle_data();
    void todayCircle();
    void names_data();
    void names();
    void fallbacks();
    void rendersOnWorkerThreads();
};

void CalendarRendererTest::monthGrid_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<bool>("mondayFirst");
    QTest::addColumn<int>("lead");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("firstCellDay");
    QTest::addColumn<int>("lastCellDay");

    // Months of 2026 whose first day falls on each weekday.
    QTest::newRow("sunday first, starts Sunday, 28 days: a whole row of March")
        << 2026 << 2 << false << 0 << 5 << 1 << 7;
    QTest::newRow("sunday first, starts Monday") << 2026 << 6 << false << 1 << 5 << 31 << 4;
    QTest::newRow("sunday first, starts Tuesday") << 2026 << 9 << false << 2 << 5 << 30 << 3;
    QTest::newRow("sunday first, starts Wednesday") << 2026 << 4 << false << 3 << 5 << 29 << 2;
    QTest::newRow("sunday first, starts Thursday, 31 days: six rows")
        << 2026 << 1 << false << 4 << 6 << 28 << 7;
    QTest::newRow("sunday first, starts Friday") << 2026 << 5 << false << 5 << 6 << 26 << 6;
    QTest::newRow("sunday first, starts Saturday") << 2026 << 8 << false << 6 << 6 << 26 << 5;
    QTest::newRow("monday first, starts Sunday") << 2026 << 2 << true << 6 << 5 << 26 << 1;
    QTest::newRow("monday first, starts Monday") << 2026 << 6 << true << 0 << 5 << 1 << 5;
    QTest::newRow("monday first, starts Tuesday") << 2026 << 9 << true << 1 << 5 << 31 << 4;
    QTest::newRow("monday first, starts Wednesday") << 2026 << 4 << true << 2 << 5 << 30 << 3;
    QTest::newRow("monday first, starts Thursday") << 2026 << 1 << true << 3 << 5 << 29 << 1;
    QTest::newRow("monday first, starts Friday") << 2026 << 5 << true << 4 << 6 << 27 << 7;
    QTest::newRow("monday first, starts Saturday") << 2026 << 8 << true << 5 << 6 << 27 << 6;
    QTest::newRow("leap February, sunday first") << 2028 << 2 << false << 2 << 5 << 30 << 4;
    QTest::newRow("leap February, monday first") << 2028 << 2 << true << 1 << 5 << 31 << 5;
    QTest::newRow("28-day February starting the week: five rows") << 2027 << 2 << true << 0 << 5 << 1 << 7;
}

void CalendarRendererTest::monthGrid()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(bool, mondayFirst);
    QFETCH(int, lead);
    QFETCH(int, rows);
    QFETCH(int, firstCellDay);
    QFETCH(int, lastCellDay);

    const CalendarRenderer::Month grid =
        CalendarRenderer::monthGrid(year, month, makeRequest(year, month, 15, mondayFirst));
    QCOMPARE(grid.year, year);
    QCOMPARE(grid.month, month);
    QCOMPARE(grid.weeks.size(), rows);

    QList<CalendarRenderer::Cell> cells;
    for (const auto& week : grid.weeks) {
        QCOMPARE(week.size(), 7);
        cells += week;
    }
    QCOMPARE(cells.first().day, firstCellDay);
    QCOMPARE(cells.last().day, lastCellDay);
    QCOMPARE(cells.last().inMonth, false);

    // The month's days run from the lead on, one after the other; only the 15th is today.
    const int days = QDate(year, month, 1).daysInMonth();
    for (int i = 0; i < cells.size(); ++i) {
        const bool inMonth = i >= lead && i < lead + days;
        QCOMPARE(cells[i].inMonth, inMonth);
        if (inMonth)
            QCOMPARE(cells[i].day, i - lead + 1);
        QCOMPARE(cells[i].today, inMonth && cells[i].day == 15);
    }
}

void CalendarRendererTest::months_data()
{
    QTest::addColumn<CalendarRequest>("request");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("todayCard");

    QTest::newRow("current month only") << makeRequest(2026, 12, 9) << QStringList{u"2026-12"_s} << 0;
    QTest::newRow("two each side, across the new year")
        << makeRequest(2026, 1, 15, false, 2, 2)
        << QStringList{u"2025-11"_s, u"2025-12"_s, u"2026-01"_s, u"2026-02"_s, u"2026-03"_s} << 2;
    QTest::newRow("counts clamped to 0..2") << makeRequest(2026, 6, 1, false, 5, -3)
                                            << QStringList{u"2026-04"_s, u"2026-05"_s, u"2026-06"_s} << 2;
    QTest::newRow("future into the next year") << makeRequest(2026, 12, 31, false, 0, 2)
                                               << QStringList{u"2026-12"_s, u"2027-01"_s, u"2027-02"_s} << 0;
    // February's trailing row holds 1 March, January's last row would not, but only March marks it.
    QTest::newRow("today also in the previous card's trailing row")
        << makeRequest(2026, 3, 1, false, 1, 0) << QStringList{u"2026-02"_s, u"2026-03"_s} << 1;
    QTest::newRow("today also in the next card's leading row")
        << makeRequest(2026, 1, 31, true, 0, 1) << QStringList{u"2026-01"_s, u"2026-02"_s} << 0;
}

void CalendarRendererTest::months()
{
    QFETCH(CalendarRequest, request);
    QFETCH(QStringList, expected);
    QFETCH(int, todayCard);

    const QList<CalendarRenderer::Month> cards = CalendarRenderer::months(request);
    QStringList names;
    int todays = 0;
    for (int i = 0; i < cards.size(); ++i) {
        names << u"%1-%2"_s.arg(cards[i].year).arg(cards[i].month, 2, 10, QChar(u'0'));
        for (const auto& week : cards[i].weeks) {
            for (const CalendarRenderer::Cell& cell : week) {
                if (cell.today) {
                    ++todays;
                    QCOMPARE(i, todayCard);
                    QCOMPARE(cell.day, request.day);
                }
            }
        }
    }
    QCOMPARE(names, expected);
    QCOMPARE(todays, 1);
}

void CalendarRendererTest::imageSize_data()
{
    QTest::addColumn<CalendarRequest>("request");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSizeF>("baseSize");
    QTest::addColumn<QSize>("pixels"); // empty: no image

    const CalendarRequest fiveRows = makeRequest(2026, 12, 9);
    const CalendarRequest threeCards = makeRequest(2026, 3, 9, false, 1, 1);
    const CalendarRequest sixRows = makeRequest(2026, 1, 9);
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("one five-row month") << fiveRows << 1.0 << QSizeF(304, 294) << QSize(304, 294);
    QTest::newRow("small rounds 200.64 x 194.04") << fiveRows << 0.66 << QSizeF(304, 294) << QSize(201, 194);
    QTest::newRow("three five-row months") << threeCards << 1.0 << QSizeF(304, 866) << QSize(304, 866);
    QTest::newRow("three months at zoom 2") << threeCards << 2.0 << QSizeF(304, 866) << QSize(608, 1732);
    QTest::newRow("six rows at 1.33") << sixRows << 1.33 << QSizeF(304, 332) << QSize(404, 442);
    QTest::newRow("tiny zoom keeps one pixel") << fiveRows << 1e-9 << QSizeF(304, 294) << QSize(1, 1);
    QTest::newRow("zero zoom") << fiveRows << 0.0 << QSizeF(304, 294) << QSize();
    QTest::newRow("negative zoom") << fiveRows << -1.0 << QSizeF(304, 294) << QSize();
    QTest::newRow("NaN zoom") << fiveRows << std::nan("") << QSizeF(304, 294) << QSize();
    QTest::newRow("infinite zoom") << fiveRows << inf << QSizeF(304, 294) << QSize();
    QTest::newRow("absurd zoom") << fiveRows << 1e6 << QSizeF(304, 294) << QSize();
    QTest::newRow("month 13") << makeRequest(2026, 13, 1) << 1.0 << QSizeF(304, 8) << QSize();
}

void CalendarRendererTest::imageSize()
{
    QFETCH(CalendarRequest, request);
    QFETCH(double, zoom);
    QFETCH(QSizeF, baseSize);
    QFETCH(QSize, pixels);

    QCOMPARE(CalendarRenderer::imageSize(request), baseSize);
    const std::optional<QImage> image = CalendarRenderer::render(request, zoom);
    QCOMPARE(image.has_value(), !pixels.isEmpty());
    if (!image)
        return;
    QCOMPARE(image->size(), pixels);
    QCOMPARE(image->format(), QImage::Format_ARGB32_Premultiplied);
    if (pixels.width() > 1)
        QCOMPARE(qAlpha(image->pixel(0, 0)), 0); // the margin stays transparent
}

void CalendarRendererTest::themeColours_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QColor>("card"); // scrim on the cardless themes
    QTest::addColumn<QColor>("band"); // likewise
    QTest::addColumn<QColor>("title");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("other"); // invalid: translucent ink, not probed
    QTest::addColumn<QColor>("today");
    QTest::addColumn<QColor>("todayText");
    QTest::addColumn<QColor>("halo"); // invalid: the theme has none

    const QColor white = rgb(255, 255, 255);
    const QColor ink = rgb(26, 26, 26);
    const QColor grey = rgb(196, 196, 196);
    QTest::newRow("classic") << u"classic"_s << white << rgb(0, 0, 0) << white << ink << grey
                             << rgb(244, 67, 54) << white << QColor();
    QTest::newRow("grey") << u"grey"_s << white << rgb(204, 204, 204) << ink << ink << grey
                          << rgb(176, 176, 176) << ink << QColor();
    QTest::newRow("skyblue") << u"skyblue"_s << white << rgb(227, 242, 253) << rgb(13, 71, 161) << ink << grey
                             << rgb(144, 202, 249) << rgb(13, 71, 161) << QColor();
    QTest::newRow("blue") << u"blue"_s << white << rgb(59, 77, 112) << white << ink << grey
                          << rgb(92, 111, 145) << white << QColor();
    QTest::newRow("yellow") << u"yellow"_s << white << rgb(255, 235, 59) << rgb(33, 33, 33) << ink << grey
                            << rgb(255, 245, 157) << rgb(33, 33, 33) << QColor();
    QTest::newRow("forest") << u"forest"_s << white << rgb(46, 94, 78) << white << ink << grey
                            << rgb(46, 94, 78) << white << QColor();
    QTest::newRow("plum") << u"plum"_s << white << rgb(91, 63, 117) << white << ink << grey
                          << rgb(91, 63, 117) << white << QColor();
    QTest::newRow("midnight") << u"midnight"_s << rgb(30, 33, 40) << rgb(20, 22, 27) << white
                              << rgb(236, 238, 242) << rgb(84, 90, 101) << white << rgb(30, 33, 40)
                              << QColor();
    QTest::newRow("clear") << u"clear"_s << rgb(255, 255, 255, 0.5) << rgb(255, 255, 255, 0.5)
                           << rgb(33, 33, 33) << rgb(33, 33, 33) << QColor() << rgb(211, 211, 211)
                           << rgb(33, 33, 33) << rgb(255, 255, 255, 0.5);
    QTest::newRow("clear-white") << u"clear-white"_s << rgb(0, 0, 0, 0.4) << rgb(0, 0, 0, 0.4) << white
                                 << white << QColor() << white << ink << rgb(0, 0, 0, 0.5);
}

void CalendarRendererTest::themeColours()
{
    QFETCH(QString, theme);
    QFETCH(QColor, card);
    QFETCH(QColor, band);
    QFETCH(QColor, title);
    QFETCH(QColor, text);
    QFETCH(QColor, other);
    QFETCH(QColor, today);
    QFETCH(QColor, todayText);
    QFETCH(QColor, halo);

    // December 2026, Sunday first: 29 November opens the grid, the 9th sits in row 1, column 3.
    constexpr qreal zoom = 3;
    const std::optional<QImage> image =
        CalendarRenderer::render(makeRequest(2026, 12, 9, false, 0, 0, theme), zoom);
    QVERIFY(image);
    constexpr qreal top = 8;
    const QPointF todayCentre(152, top + 84 + 38 + 18);

    QVERIFY(distance(probe(*image, zoom, 150, top + 78), premultiplied(card)) <= 3);
    QVERIFY(distance(probe(*image, zoom, 40, top + 40), premultiplied(band)) <= 3);
    QVERIFY(distance(probe(*image, zoom, todayCentre.x() - 12, todayCentre.y()), premultiplied(today)) <= 3);
    QVERIFY(closestIn(*image, zoom, around(152, top + 25, 80, 8), title) <= 3);
    QVERIFY(closestIn(*image, zoom, around(152, todayCentre.y() + 38, 10, 6), text) <= 3);
    QVERIFY(closestIn(*image, zoom, around(todayCentre.x(), todayCentre.y(), 8, 6), todayText) <= 3);
    if (other.isValid())
        QVERIFY(closestIn(*image, zoom, around(32, top + 84 + 18, 10, 6), other) <= 3);

    const bool hasCard = card.alpha() == 255;
    const QRgb belowCard = probe(*image, zoom, 150, top + 278 + 1.5);
    if (hasCard) {
        // The card's soft shadow: black, partly transparent.
        QVERIFY(qRed(belowCard) <= 2 && qAlpha(belowCard) >= 10 && qAlpha(belowCard) <= 120);
    }
    if (halo.isValid()) {
        // Around a day number the halo lays its colour over the scrim, more opaque than the scrim alone.
        const QRect cell = QRectF(QPointF(142, todayCentre.y() + 30) * zoom, QSizeF(20, 16) * zoom).toRect();
        bool glow = false;
        for (int y = cell.top(); y <= cell.bottom() && !glow; ++y) {
            for (int x = cell.left(); x <= cell.right() && !glow; ++x) {
                const QColor pixel = QColor::fromRgba(qUnpremultiply(image->pixel(x, y)));
                glow = pixel.alpha() >= card.alpha() + 25 && std::abs(pixel.red() - halo.red()) <= 10;
            }
        }
        QVERIFY(glow);
    }
}

void CalendarRendererTest::todayCircle_data()
{
    QTest::addColumn<CalendarRequest>("request");
    QTest::addColumn<QPointF>("centre"); // layout points

    QTest::newRow("sunday first") << makeRequest(2026, 12, 9) << QPointF(152, 148);
    QTest::newRow("monday first") << makeRequest(2026, 12, 9, true) << QPointF(112, 148);
    QTest::newRow("below a past month's card") << makeRequest(2026, 12, 9, false, 1, 1) << QPointF(152, 434);
    QTest::newRow("first cell") << makeRequest(2026, 2, 1) << QPointF(32, 110);
    QTest::newRow("last in-month cell of six rows") << makeRequest(2026, 1, 31) << QPointF(272, 262);
}

void CalendarRendererTest::todayCircle()
{
    QFETCH(CalendarRequest, request);
    QFETCH(QPointF, centre);

    constexpr qreal zoom = 2;
    const std::optional<QImage> image = CalendarRenderer::render(request, zoom);
    QVERIFY(image);
    const QRgb red = premultiplied(rgb(244, 67, 54));
    const QRgb card = premultiplied(Qt::white);
    QVERIFY(distance(probe(*image, zoom, centre.x() - 12, centre.y()), red) <= 3);
    QVERIFY(distance(probe(*image, zoom, centre.x() + 12, centre.y()), red) <= 3);
    QVERIFY(distance(probe(*image, zoom, centre.x() - 12, centre.y() - 38), card) <= 3);
    QVERIFY(distance(probe(*image, zoom, centre.x() - 12, centre.y() + 38), card) <= 3);
}

void CalendarRendererTest::names_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("sunday");
    QTest::addColumn<QString>("monday");

    QTest::newRow("en") << u"en"_s << u"December 2026"_s << u"SUN"_s << u"MON"_s;
    QTest::newRow("de") << u"de"_s << u"Dezember 2026"_s << u"SO"_s << u"MO"_s;
    QTest::newRow("es") << u"es"_s << u"diciembre de 2026"_s << u"DOM"_s << u"LUN"_s;
    QTest::newRow("fr") << u"fr"_s << u"décembre 2026"_s << u"DIM."_s << u"LUN."_s;
    QTest::newRow("it") << u"it"_s << u"dicembre 2026"_s << u"DOM"_s << u"LUN"_s;
    QTest::newRow("nl") << u"nl"_s << u"december 2026"_s << u"ZO"_s << u"MA"_s;
    QTest::newRow("pt") << u"pt"_s << u"dezembro de 2026"_s << u"DOM."_s << u"SEG."_s;
}

void CalendarRendererTest::names()
{
    QFETCH(QString, lang);
    QFETCH(QString, title);
    QFETCH(QString, sunday);
    QFETCH(QString, monday);

    QCOMPARE(CalendarRenderer::monthTitle(2026, 12, lang), title);
    const QStringList symbols = CalendarRenderer::weekdaySymbols(lang);
    QCOMPARE(symbols.size(), 7);
    QCOMPARE(symbols[0], sunday);
    QCOMPARE(symbols[1], monday);
}

void CalendarRendererTest::fallbacks()
{
    const CalendarRenderer::Theme classic = CalendarRenderer::theme(u"classic"_s);
    QCOMPARE(CalendarRenderer::theme(u"Classic"_s), classic);
    QCOMPARE(CalendarRenderer::theme(u"classic-v2"_s), classic);
    QCOMPARE(CalendarRenderer::theme(QString()), classic);
    QVERIFY(CalendarRenderer::theme(u"midnight"_s) != classic);
    QVERIFY(!CalendarRenderer::theme(u"clear"_s).card && !CalendarRenderer::theme(u"clear"_s).band);

    QCOMPARE(CalendarRenderer::supportedLanguage(u"nl"_s), u"nl"_s);
    QCOMPARE(CalendarRenderer::supportedLanguage(u"ja"_s), u"en"_s);
    QCOMPARE(CalendarRenderer::supportedLanguage(u"DE"_s), u"en"_s);
}

void CalendarRendererTest::rendersOnWorkerThreads()
{
    // Composition renders from worker threads, several displays at once. November to January.
    QList<CalendarRequest> requests;
    for (const QString& theme : {u"classic"_s, u"clear"_s, u"plum"_s, u"clear-white"_s})
        for (const QString& lang : {u"en"_s, u"fr"_s})
            requests << makeRequest(2026, 12, 9, false, 1, 1, theme, lang);
    const QList<std::optional<QImage>> images = QtConcurrent::blockingMapped(
        requests, [](const CalendarRequest& request) { return CalendarRenderer::render(request, 1.5); });
    for (int i = 0; i < images.size(); ++i) {
        QVERIFY(images[i]);
        QCOMPARE(images[i]->size(), QSize(456, 1356));
        const QColor today = CalendarRenderer::theme(requests[i].theme).today.toColor();
        QVERIFY(distance(probe(*images[i], 1.5, 140, 434), premultiplied(today)) <= 3);
    }
}

QTEST_MAIN(CalendarRendererTest)
#include "CalendarRendererTest.moc"
