#include "browser/core/GridColumns.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Defaults;
using lumi::GridColumns;

class GridColumnsTest final : public QObject
{
    Q_OBJECT

private slots:
    void readsTheStoredSetting_data();
    void readsTheStoredSetting();
    void titlesAndCountsInOrder();
};

void GridColumnsTest::readsTheStoredSetting_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: the key is unset
    QTest::addColumn<int>("expected");

    QTest::newRow("unset") << QVariant() << int(GridColumns::automatic);
    QTest::newRow("auto") << QVariant(u"auto"_s) << int(GridColumns::automatic);
    QTest::newRow("1") << QVariant(u"1"_s) << int(GridColumns::one);
    QTest::newRow("4") << QVariant(u"4"_s) << int(GridColumns::four);
    QTest::newRow("5") << QVariant(u"5"_s) << int(GridColumns::automatic);
    QTest::newRow("capitalised Auto") << QVariant(u"Auto"_s) << int(GridColumns::automatic);
    QTest::newRow("empty text") << QVariant(u""_s) << int(GridColumns::automatic);
    QTest::newRow(" 2 with a space") << QVariant(u" 2"_s) << int(GridColumns::automatic);
    QTest::newRow("a number, not a text") << QVariant(qint64(3)) << int(GridColumns::automatic);
}

void GridColumnsTest::readsTheStoredSetting()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);

    QTemporaryDir folder;
    Defaults defaults(folder.filePath(u"defaults.json"_s));
    if (stored.isValid())
        defaults.setValue(lumi::keys::gridColumns.name, stored);
    QCOMPARE(int(GridColumns::stored(defaults)), expected);

    // What is stored back reads again as the same choice, also in a new store on the same file.
    GridColumns(GridColumns::three).store(defaults);
    QCOMPARE(int(GridColumns::stored(Defaults(defaults.filePath()))), int(GridColumns::three));
}

void GridColumnsTest::titlesAndCountsInOrder()
{
    QStringList titles;
    QList<std::optional<int>> counts;
    for (GridColumns columns : GridColumns::all()) {
        titles.append(columns.title());
        counts.append(columns.count());
    }
    QCOMPARE(titles, QStringList({u"1 Column"_s, u"2 Columns"_s, u"3 Columns"_s, u"4 Columns"_s,
                                  u"Auto (Responsive)"_s}));
    QCOMPARE(counts, QList<std::optional<int>>({1, 2, 3, 4, std::nullopt}));
}

QTEST_GUILESS_MAIN(GridColumnsTest)
#include "GridColumnsTest.moc"
