#include "browser/ColumnButton.h"
#include "widgets/Palette.h"

#include <QTest>

using lumi::ColumnButton;
using lumi::GridColumns;

namespace {

const QColor inactiveBar(108, 117, 125);

QImage paint(ColumnButton& button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

bool near(QColor actual, QColor expected)
{
    return std::abs(actual.red() - expected.red()) <= 12 &&
           std::abs(actual.green() - expected.green()) <= 12 &&
           std::abs(actual.blue() - expected.blue()) <= 12 &&
           std::abs(actual.alpha() - expected.alpha()) <= 12;
}

} // namespace

class ColumnButtonTest final : public QObject
{
    Q_OBJECT

private slots:
    void drawsItsBarsSideBySide_data();
    void drawsItsBarsSideBySide();
    void activeFillsDarkAndDisabledFades();
    void keyboardFocusShowsOnTheBorder_data();
    void keyboardFocusShowsOnTheBorder();
};

void ColumnButtonTest::drawsItsBarsSideBySide_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<QList<int>>("barColumns"); // x of a pixel inside each bar
    QTest::addColumn<QList<int>>("gapColumns"); // x of the gaps between bars

    // The 20-point content starts at x 4: one bar of 20, three of 6, four of 4.25, with 1 apart.
    QTest::newRow("one") << int(GridColumns::one) << QList<int>{5, 14, 22} << QList<int>{};
    QTest::newRow("three") << int(GridColumns::three) << QList<int>{6, 14, 21} << QList<int>{10, 17};
    QTest::newRow("four") << int(GridColumns::four) << QList<int>{6, 11, 16, 21} << QList<int>{};
}

void ColumnButtonTest::drawsItsBarsSideBySide()
{
    QFETCH(int, option);
    QFETCH(QList<int>, barColumns);
    QFETCH(QList<int>, gapColumns);

    ColumnButton button{GridColumns(GridColumns::Case(option))};
    QCOMPARE(button.size(), QSize(28, 24));
    const QImage image = paint(button);
    for (int x : barColumns)
        QVERIFY2(near(image.pixelColor(x, 12), inactiveBar), qPrintable(QString::number(x)));
    // A grabbed window shows its own background where the button is clear.
    const QColor clear = button.palette().color(QPalette::Window);
    for (int x : gapColumns)
        QVERIFY2(near(image.pixelColor(x, 12), clear), qPrintable(QString::number(x)));
    // Above and below the 16-point bars the button stays clear, inside its border.
    QVERIFY(near(image.pixelColor(14, 3), clear));
    QVERIFY(near(image.pixelColor(14, 20), clear));
    // The border is the muted colour while inactive.
    QVERIFY(near(image.pixelColor(0, 12), lumi::Palette::muted()));
}

void ColumnButtonTest::activeFillsDarkAndDisabledFades()
{
    ColumnButton button{GridColumns(GridColumns::four)};
    button.setChecked(true);
    QImage image = paint(button);
    QVERIFY(near(image.pixelColor(14, 3), lumi::Palette::dark()));
    QVERIFY(near(image.pixelColor(0, 12), lumi::Palette::dark()));
    // A bar: white at 60 % over the dark fill.
    QVERIFY(image.pixelColor(6, 12).red() > 150);

    button.setEnabled(false);
    image = paint(button);
    const QColor clear = button.palette().color(QPalette::Window);
    const QColor dark = lumi::Palette::dark();
    auto faded = [&clear](int ink, int background) { return int(0.65 * ink + 0.35 * background); };
    QVERIFY(near(image.pixelColor(14, 3),
                 QColor(faded(dark.red(), clear.red()), faded(dark.green(), clear.green()),
                        faded(dark.blue(), clear.blue()))));
    QCOMPARE(button.toolTip(), QStringLiteral("4 Columns"));
}

void ColumnButtonTest::keyboardFocusShowsOnTheBorder_data()
{
    QTest::addColumn<bool>("checked");
    QTest::newRow("a choice") << false;
    QTest::newRow("the current choice") << true;
}

void ColumnButtonTest::keyboardFocusShowsOnTheBorder()
{
    QFETCH(bool, checked);
    QWidget selector;
    auto* button = new ColumnButton(GridColumns(GridColumns::two), &selector);
    auto* other = new ColumnButton(GridColumns(GridColumns::three), &selector);
    other->move(40, 0);
    selector.resize(80, 24);
    selector.show();
    QVERIFY(QTest::qWaitForWindowActive(&selector));
    other->setFocus(Qt::TabFocusReason);

    // A click chooses without taking the focus, so no ring stays behind it.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(other->hasFocus());
    button->setChecked(checked);
    const QImage unfocused = paint(*button);
    QVERIFY(!near(unfocused.pixelColor(0, 12), lumi::Palette::focusRing()));

    button->setFocus(Qt::TabFocusReason);
    const QImage focused = paint(*button);
    QVERIFY(near(focused.pixelColor(0, 12), lumi::Palette::focusRing()));
    QVERIFY(near(focused.pixelColor(14, 0), lumi::Palette::focusRing()));
    // Inside the border it looks as it did.
    QCOMPARE(focused.pixelColor(14, 12), unfocused.pixelColor(14, 12));
}

QTEST_MAIN(ColumnButtonTest)
#include "ColumnButtonTest.moc"
