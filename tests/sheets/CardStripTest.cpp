#include "sheets/CardStrip.h"
#include "sheets/CardView.h"
#include "sheets/LazyCards.h"

#include <QLabel>
#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using lumi::Card;
using lumi::CardStrip;
using lumi::CardView;

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {

QList<Card> cards(int count)
{
    QList<Card> list;
    for (int index = 0; index < count; ++index)
        list.append(
            Card{u"c%1"_s.arg(index), u"Card %1"_s.arg(index), index, std::nullopt, false, std::nullopt});
    return list;
}

} // namespace

class CardStripTest final : public QObject
{
    Q_OBJECT

private slots:
    void visibleCount_data();
    void visibleCount();
    void paging_data();
    void paging();
    void positionNamesACard();
    void subtitle_data();
    void subtitle();
    void longNamesEndInAnEllipsis_data();
    void longNamesEndInAnEllipsis();
    void buttonsPageTheStrip_data();
    void buttonsPageTheStrip();
};

void CardStripTest::visibleCount_data()
{
    QTest::addColumn<qreal>("width");
    QTest::addColumn<int>("visible");

    QTest::newRow("not measured yet") << 0.0 << 1;
    QTest::newRow("one card and a bit") << 413.0 << 1;
    QTest::newRow("two cards, no spacing after the last") << 414.0 << 2;
    QTest::newRow("three") << 628.0 << 3;
}

void CardStripTest::visibleCount()
{
    QFETCH(qreal, width);
    QFETCH(int, visible);
    QCOMPARE(CardStrip::visibleCount(width), visible);
}

void CardStripTest::paging_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("visible");
    QTest::addColumn<int>("from");
    QTest::addColumn<QList<int>>("directions");
    QTest::addColumn<QList<int>>("indices");    // after each page
    QTest::addColumn<QList<bool>>("backShown"); // at from, then after each page
    QTest::addColumn<QList<bool>>("moreShown");

    QTest::newRow("5 at 2: More, then to the end and Back")
        << 5 << 2 << 0 << QList<int>{1, 1, 1, -1} << QList<int>{1, 2, 3, 2}
        << QList<bool>{false, true, true, true, true} << QList<bool>{true, true, true, false, true};
    QTest::newRow("10 at 3: the last page is cut to 7")
        << 10 << 3 << 0 << QList<int>{1, 1, 1, 1, 1} << QList<int>{2, 4, 6, 7, 7}
        << QList<bool>{false, true, true, true, true, true}
        << QList<bool>{true, true, true, true, false, false};
    QTest::newRow("3 at 4: nothing to page")
        << 3 << 4 << 0 << QList<int>{1, -1} << QList<int>{0, 0} << QList<bool>{false, false, false}
        << QList<bool>{false, false, false};
    QTest::newRow("one visible still steps one")
        << 3 << 1 << 2 << QList<int>{-1, -1, -1} << QList<int>{1, 0, 0}
        << QList<bool>{true, true, false, false} << QList<bool>{false, true, true, true};
}

void CardStripTest::paging()
{
    QFETCH(int, count);
    QFETCH(int, visible);
    QFETCH(int, from);
    QFETCH(QList<int>, directions);
    QFETCH(QList<int>, indices);
    QFETCH(QList<bool>, backShown);
    QFETCH(QList<bool>, moreShown);

    // A width of whole cards: the strip's offsets fall on cards.
    constexpr int slot = CardStrip::cardWidth + CardStrip::spacing;
    const int end = std::max(0, (count - visible) * slot);
    const auto offset = [&](int index) { return std::min(index * slot, end); };
    int index = from;
    QList<int> reached;
    QList<bool> back{CardStrip::showsBack(offset(index))};
    QList<bool> more{CardStrip::showsMore(offset(index), end)};
    for (const int direction : directions) {
        index = CardStrip::pageTarget(index, direction, visible, count);
        reached.append(index);
        back.append(CardStrip::showsBack(offset(index)));
        more.append(CardStrip::showsMore(offset(index), end));
    }
    QCOMPARE(reached, indices);
    QCOMPARE(back, backShown);
    QCOMPARE(more, moreShown);
}

void CardStripTest::positionNamesACard()
{
    const QList<Card> list = cards(5);
    QCOMPARE(CardStrip::currentIndex(std::nullopt, list), 0);
    QCOMPARE(CardStrip::currentIndex(u"c3"_s, list), 3);
    QCOMPARE(CardStrip::currentIndex(u"gone"_s, list), 0);
}

void CardStripTest::subtitle_data()
{
    QTest::addColumn<qint64>("photos");
    QTest::addColumn<std::optional<QString>>("state");
    QTest::addColumn<QString>("text");

    QTest::newRow("one") << qint64(1) << std::optional<QString>() << u"1 photo"_s;
    QTest::newRow("none takes the plural") << qint64(0) << std::optional<QString>() << u"0 photos"_s;
    QTest::newRow("a region with its state")
        << qint64(12) << std::optional<QString>(u"CA"_s) << u"12 photos · CA"_s;
}

void CardStripTest::subtitle()
{
    QFETCH(qint64, photos);
    QFETCH(std::optional<QString>, state);
    QFETCH(QString, text);
    QCOMPARE(CardView::subtitle(Card{u"r-x/y"_s, u"Y"_s, photos, std::nullopt, false, state}), text);
}

void CardStripTest::longNamesEndInAnEllipsis_data()
{
    QTest::addColumn<std::optional<int>>("width"); // none: a card of the home grid, 240 wide
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("cut");

    const QString longName = u"Parque Nacional de los Picos de Europa y sus alrededores montañosos"_s;
    QTest::newRow("strip, short") << std::optional<int>(200) << u"Lisbon"_s << 1 << false;
    QTest::newRow("strip, two lines at most") << std::optional<int>(200) << longName << 2 << true;
    QTest::newRow("grid, one line") << std::optional<int>() << longName << 1 << true;
    QTest::newRow("grid, short") << std::optional<int>() << u"Porto"_s << 1 << false;
}

void CardStripTest::longNamesEndInAnEllipsis()
{
    QFETCH(std::optional<int>, width);
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(bool, cut);

    QNetworkAccessManager network;
    CardView card(Card{u"p-x"_s, name, 3, std::nullopt, true, std::nullopt}, width, network);
    if (!width)
        card.resize(240, CardView::height(240, false));
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    auto* label = card.findChild<QLabel*>(u"card.name"_s);
    QTRY_COMPARE(label->text().split(u'\n').size(), lines);
    QCOMPARE(label->text().endsWith(u'…'), cut);
    if (!cut)
        QCOMPARE(label->text(), name);
    for (const QString& line : label->text().split(u'\n'))
        QVERIFY2(label->fontMetrics().horizontalAdvance(line) <= label->width(), qPrintable(line));
    QCOMPARE(label->toolTip().isEmpty() ? card.toolTip() : label->toolTip(), name);
}

void CardStripTest::buttonsPageTheStrip_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("made");          // cards made before any paging
    QTest::addColumn<QStringList>("pages"); // the leading card after each More, until it hides

    QTest::newRow("three whole cards") << 628 << 4 << QStringList{u"c2"_s, u"c4"_s, u"c6"_s, u"c7"_s};
    QTest::newRow("three and a narrow part") << 700 << 4 << QStringList{u"c2"_s, u"c4"_s, u"c6"_s, u"c7"_s};
    QTest::newRow("three and a wide part") << 792 << 5 << QStringList{u"c2"_s, u"c4"_s, u"c6"_s, u"c6"_s};
    QTest::newRow("one and a wide part")
        << 380 << 3
        << QStringList{u"c1"_s, u"c2"_s, u"c3"_s, u"c4"_s, u"c5"_s, u"c6"_s, u"c7"_s, u"c8"_s, u"c8"_s};
}

void CardStripTest::buttonsPageTheStrip()
{
    QFETCH(int, width);
    QFETCH(int, made);
    QFETCH(QStringList, pages);

    QNetworkAccessManager network;
    QStringList opened;
    CardStrip strip(
        cards(10), [&](const Card& card) { opened.append(card.id); }, network);
    strip.resize(width, strip.height());
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QTRY_VERIFY(strip.moreShown());
    QVERIFY(!strip.backShown());
    // The cards in view and within the margin are made; the rest wait.
    QCOMPARE(strip.views().madeCount(), made);
    QVERIFY(!strip.findChild<CardView*>(u"card:c%1"_s.arg(made)));
    auto* first = strip.findChild<CardView*>(u"card:c0"_s);
    QVERIFY(first);
    QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(opened, QStringList{u"c0"_s});

    // More is never dead: each press pages on, and it hides once the last card is whole in view.
    auto* more = strip.findChild<QPushButton*>(u"strip.more"_s);
    for (const QString& expected : pages) {
        QVERIFY2(strip.moreShown(), qPrintable(expected));
        QTest::mouseClick(more, Qt::LeftButton);
        QTRY_COMPARE(strip.position(), std::optional<QString>(expected));
    }
    QTRY_VERIFY(!strip.moreShown());
    QTRY_VERIFY(more->isHidden());
    auto* last = strip.findChild<CardView*>(u"card:c9"_s);
    QVERIFY(last);
    QTRY_VERIFY(strip.rect().contains(QRect(last->mapTo(&strip, QPoint(0, 0)), last->size())));
    QTRY_VERIFY(strip.backShown());

    QTest::mouseClick(strip.findChild<QPushButton*>(u"strip.back"_s), Qt::LeftButton);
    QTRY_VERIFY(strip.moreShown());
    QCOMPARE(strip.views().madeCount(), 10);
}

QTEST_MAIN(CardStripTest)
#include "CardStripTest.moc"
