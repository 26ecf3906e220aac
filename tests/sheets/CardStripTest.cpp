#include "sheets/CardStrip.h"
#include "sheets/CardView.h"
#include "sheets/LazyCards.h"

#include <QNetworkAccessManager>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Card;
using lumi::CardStrip;
using lumi::CardView;

Q_DECLARE_METATYPE(std::optional<QString>)

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

    int index = from;
    QList<int> reached;
    QList<bool> back{CardStrip::showsBack(index)};
    QList<bool> more{CardStrip::showsMore(index, visible, count)};
    for (const int direction : directions) {
        index = CardStrip::pageTarget(index, direction, visible, count);
        reached.append(index);
        back.append(CardStrip::showsBack(index));
        more.append(CardStrip::showsMore(index, visible, count));
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

void CardStripTest::buttonsPageTheStrip()
{
    QNetworkAccessManager network;
    QStringList opened;
    CardStrip strip(
        cards(10), [&](const Card& card) { opened.append(card.id); }, network);
    strip.resize(628, strip.height());
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    QTRY_VERIFY(strip.moreShown());
    QVERIFY(!strip.backShown());
    // Three in view and one within the margin are made; the rest wait.
    QCOMPARE(strip.views().madeCount(), 4);
    QVERIFY(!strip.findChild<CardView*>(u"card:c4"_s));

    auto* more = strip.findChild<QPushButton*>(u"strip.more"_s);
    for (const QString& expected : {u"c2"_s, u"c4"_s}) {
        QTest::mouseClick(more, Qt::LeftButton);
        QTRY_COMPARE(strip.position(), std::optional<QString>(expected));
    }
    QTRY_VERIFY(strip.backShown());
    QTRY_COMPARE(strip.views().madeCount(), 8);
    QTest::mouseClick(strip.findChild<QPushButton*>(u"strip.back"_s), Qt::LeftButton);
    QTRY_COMPARE(strip.position(), std::optional<QString>(u"c2"_s));

    auto* card = strip.findChild<CardView*>(u"card:c3"_s);
    QVERIFY(card);
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(opened, QStringList{u"c3"_s});
}

QTEST_MAIN(CardStripTest)
#include "CardStripTest.moc"
