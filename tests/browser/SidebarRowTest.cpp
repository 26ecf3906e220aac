#include "browser/SidebarRow.h"
#include "widgets/Palette.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using lumi::SidebarRow;

class SidebarRowTest final : public QObject
{
    Q_OBJECT

private slots:
    void clicksOutsideTheTrailingWidget_data();
    void clicksOutsideTheTrailingWidget();
    void longTitleKeepsTheTrailingWidgetInPlace();
    void selectedRowIsWhiteOnDark();
    void outlinedRowWearsADarkRingInside();
    void focusedRowWearsTheFocusRing_data();
    void focusedRowWearsTheFocusRing();
};

void SidebarRowTest::clicksOutsideTheTrailingWidget_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("rowClicks");
    QTest::addColumn<int>("trailingClicks");

    QTest::newRow("on the title") << u"title"_s << 1 << 0;
    QTest::newRow("on the blank space") << u"blank"_s << 1 << 0;
    QTest::newRow("on the trailing button") << u"trailing"_s << 0 << 1;
    QTest::newRow("pressed inside, released outside") << u"dragged out"_s << 0 << 0;
}

void SidebarRowTest::clicksOutsideTheTrailingWidget()
{
    QFETCH(QString, where);
    QFETCH(int, rowClicks);
    QFETCH(int, trailingClicks);

    SidebarRow row(u"Mountains"_s);
    auto* button = new QToolButton;
    button->setText(u"P"_s);
    row.setTrailing(button);
    row.resize(240, 30);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QSignalSpy clicked(&row, &SidebarRow::clicked);
    QSignalSpy trailingClicked(button, &QToolButton::clicked);

    if (where == u"title")
        QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(20, 15));
    else if (where == u"blank")
        QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(button->x() - 20, 15));
    else if (where == u"trailing")
        QTest::mouseClick(button, Qt::LeftButton);
    else {
        QTest::mousePress(&row, Qt::LeftButton, {}, QPoint(20, 15));
        QTest::mouseRelease(&row, Qt::LeftButton, {}, QPoint(20, 60));
    }
    QCOMPARE(clicked.size(), rowClicks);
    QCOMPARE(trailingClicked.size(), trailingClicks);
}

void SidebarRowTest::longTitleKeepsTheTrailingWidgetInPlace()
{
    SidebarRow row(u"A playlist title far too long to fit into the sidebar column at all"_s);
    auto* trailing = new QWidget;
    trailing->setFixedSize(40, 20);
    row.setTrailing(trailing);
    row.resize(200, 30);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QCOMPARE(row.height(), 30);
    QCOMPARE(trailing->geometry().right(), 200 - 12 - 1);
    // Alone in its window, the row took the focus; its ring is not what is looked at here.
    row.clearFocus();
    // The cut-off title leaves the gap before the trailing widget blank.
    const QImage image = row.grab().toImage();
    for (int x = trailing->x() - 8; x < trailing->x(); ++x) {
        for (int y = 0; y < 30; ++y)
            QVERIFY2(image.pixelColor(x, y) == image.pixelColor(2, 2), qPrintable(u"%1,%2"_s.arg(x).arg(y)));
    }
}

void SidebarRowTest::selectedRowIsWhiteOnDark()
{
    SidebarRow row(u"WWWWWWWW"_s);
    row.resize(200, 30);
    QImage image = row.grab().toImage();
    auto darkest = [&image] {
        int darkest = 255;
        for (int x = 12; x < 60; ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, 15)));
        return darkest;
    };
    QVERIFY(darkest() < 80);

    row.setSelected(true);
    image = row.grab().toImage();
    QCOMPARE(image.pixelColor(100, 2).rgb(), lumi::Palette::dark().rgb()); // past the title, the fill
    QVERIFY(qGray(image.pixel(1, 1)) > 100 || image.pixelColor(1, 1).alpha() < 255); // a rounded corner
    int lightest = 0;
    for (int x = 12; x < 60; ++x)
        lightest = std::max(lightest, qGray(image.pixel(x, 15)));
    QVERIFY(lightest > 200);
}

void SidebarRowTest::outlinedRowWearsADarkRingInside()
{
    SidebarRow row(u"Trip"_s);
    row.resize(200, 30);
    const QImage plain = row.grab().toImage();
    row.setOutlined(true);
    const QImage outlined = row.grab().toImage();

    // On both straight edges, inside the border; the middle past the title stays as it was.
    QCOMPARE(outlined.pixelColor(100, 0).rgb(), lumi::Palette::dark().rgb());
    QCOMPARE(outlined.pixelColor(100, 29).rgb(), lumi::Palette::dark().rgb());
    QCOMPARE(outlined.pixelColor(0, 15).rgb(), lumi::Palette::dark().rgb());
    QCOMPARE(outlined.pixelColor(199, 15).rgb(), lumi::Palette::dark().rgb());
    QCOMPARE(outlined.pixelColor(150, 15), plain.pixelColor(150, 15));
    QVERIFY(plain.pixelColor(100, 0) != lumi::Palette::dark());
}

void SidebarRowTest::focusedRowWearsTheFocusRing_data()
{
    QTest::addColumn<bool>("selected");
    QTest::newRow("on white") << false;
    QTest::newRow("on the dark fill of the selection") << true;
}

void SidebarRowTest::focusedRowWearsTheFocusRing()
{
    QFETCH(bool, selected);
    QWidget list;
    auto* row = new SidebarRow(u"Trip"_s, &list);
    auto* other = new SidebarRow(u"Sea"_s, &list);
    row->setSelected(selected);
    row->setGeometry(0, 0, 200, 30);
    other->setGeometry(0, 32, 200, 30);
    list.resize(200, 62);
    list.show();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    other->setFocus(Qt::TabFocusReason);
    const QImage without = row->grab().toImage();
    QVERIFY(without.pixelColor(100, 0) != lumi::Palette::focusRing());

    // Only the keyboard hands it the focus: a click does not.
    QTest::mouseClick(row, Qt::LeftButton);
    QVERIFY(other->hasFocus());
    row->setFocus(Qt::TabFocusReason);
    const QImage ring = row->grab().toImage();
    for (const QPoint edge : {QPoint(100, 0), QPoint(100, 29), QPoint(0, 15), QPoint(199, 15)})
        QCOMPARE(ring.pixelColor(edge).rgb(), lumi::Palette::focusRing().rgb());
    QCOMPARE(ring.pixelColor(150, 15), without.pixelColor(150, 15));
}

QTEST_MAIN(SidebarRowTest)
#include "SidebarRowTest.moc"
