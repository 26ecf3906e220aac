#include "browser/GridLayout.h"

#include <QTest>

using lumi::GridLayout;

class GridLayoutTest final : public QObject
{
    Q_OBJECT

private slots:
    void fitsColumnsToTheWidth_data();
    void fitsColumnsToTheWidth();
    void placesTilesInRows();
};

void GridLayoutTest::fitsColumnsToTheWidth_data()
{
    QTest::addColumn<int>("fixed"); // 0: automatic
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("columns");
    QTest::addColumn<qreal>("tileWidth");
    QTest::addColumn<qreal>("left");

    QTest::newRow("auto, 1280") << 0 << 1280 << 4 << 294.0 << 22.0;
    QTest::newRow("auto, 600") << 0 << 600 << 2 << 268.0 << 22.0;
    QTest::newRow("auto, just under two columns") << 0 << 543 << 1 << 420.0 << 61.5;
    QTest::newRow("auto, exactly two columns") << 0 << 544 << 2 << 240.0 << 22.0;
    QTest::newRow("auto, capped and centred") << 0 << 520 << 1 << 420.0 << 50.0;
    QTest::newRow("auto, narrower than a column") << 0 << 200 << 1 << 156.0 << 22.0;
    QTest::newRow("auto, no room at all") << 0 << 30 << 1 << 0.0 << 22.0;
    QTest::newRow("one column") << 1 << 1280 << 1 << 1236.0 << 22.0;
    QTest::newRow("two columns") << 2 << 1280 << 2 << 608.0 << 22.0;
    QTest::newRow("three columns") << 3 << 1280 << 3 << 1196.0 / 3 << 22.0;
    QTest::newRow("four columns, never narrower than 10") << 4 << 60 << 4 << 10.0 << 22.0;
}

void GridLayoutTest::fitsColumnsToTheWidth()
{
    QFETCH(int, fixed);
    QFETCH(int, width);
    QFETCH(int, columns);
    QFETCH(qreal, tileWidth);
    QFETCH(qreal, left);

    const GridLayout layout = GridLayout::fit(fixed ? std::optional<int>(fixed) : std::nullopt, width);
    QCOMPARE(layout.columns, columns);
    QCOMPARE(layout.tileWidth, tileWidth);
    QCOMPARE(layout.left, left);
}

void GridLayoutTest::placesTilesInRows()
{
    const GridLayout layout = GridLayout::fit(2, 1280); // tiles 608 wide, 20 apart
    QCOMPARE(layout.tile(0, 400), QRect(22, 22, 608, 400));
    QCOMPARE(layout.tile(3, 400), QRect(650, 448, 608, 400));
    QCOMPARE(layout.contentHeight(3, 400), 22 + 400 + 26 + 400 + 22);
    QCOMPARE(layout.contentHeight(0, 400), 44);
    // Rows are 426 apart; a viewport starting in the gap below a row may keep that row.
    QCOMPARE(layout.rowsBetween(430, 900, 10, 400), std::make_pair(0, 2));
    QCOMPARE(layout.rowsBetween(500, 900, 10, 400), std::make_pair(1, 2));
    QCOMPARE(layout.rowsBetween(0, 100000, 3, 400), std::make_pair(0, 1));
}

QTEST_GUILESS_MAIN(GridLayoutTest)
#include "GridLayoutTest.moc"
