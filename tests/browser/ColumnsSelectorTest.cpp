#include "browser/ColumnsSelector.h"
#include "browser/ColumnButton.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::ColumnButton;
using lumi::ColumnsSelector;
using lumi::GridColumns;

class ColumnsSelectorTest final : public QObject
{
    Q_OBJECT

private slots:
    void oneButtonPerChoiceInOrder();
    void clickChoosesOnlyAnotherSetting();
};

void ColumnsSelectorTest::oneButtonPerChoiceInOrder()
{
    ColumnsSelector selector{GridColumns(GridColumns::two)};
    selector.show();
    QStringList tooltips;
    QList<bool> checked;
    int previousRight = -1;
    for (ColumnButton* button : selector.findChildren<ColumnButton*>()) {
        QVERIFY(button->x() > previousRight);
        previousRight = button->geometry().right();
        tooltips.append(button->toolTip());
        checked.append(button->isChecked());
    }
    QCOMPARE(tooltips, QStringList({u"1 Column"_s, u"2 Columns"_s, u"3 Columns"_s, u"4 Columns"_s,
                                    u"Auto (Responsive)"_s}));
    QCOMPARE(checked, QList<bool>({false, true, false, false, false}));
}

void ColumnsSelectorTest::clickChoosesOnlyAnotherSetting()
{
    ColumnsSelector selector{GridColumns(GridColumns::automatic)};
    selector.show();
    QSignalSpy chosen(&selector, &ColumnsSelector::columnsChosen);
    auto* three = selector.findChild<ColumnButton*>(u"3"_s);
    auto* automatic = selector.findChild<ColumnButton*>(u"auto"_s);

    QTest::mouseClick(three, Qt::LeftButton);
    QCOMPARE(chosen.size(), 1);
    // The choice has no empty value, so the spy's copy is read in place.
    QCOMPARE(int(*static_cast<const GridColumns*>(chosen.at(0).at(0).constData())), int(GridColumns::three));
    QVERIFY(three->isChecked());
    QVERIFY(!automatic->isChecked());

    // The active button stays active and chooses nothing new.
    QTest::mouseClick(three, Qt::LeftButton);
    QCOMPARE(chosen.size(), 1);
    QVERIFY(three->isChecked());

    // Shown from outside, it does not count as the user's choice.
    selector.setColumns(GridColumns::one);
    QCOMPARE(chosen.size(), 1);
    QVERIFY(!three->isChecked());
    QVERIFY(selector.findChild<ColumnButton*>(u"1"_s)->isChecked());
}

QTEST_MAIN(ColumnsSelectorTest)
#include "ColumnsSelectorTest.moc"
