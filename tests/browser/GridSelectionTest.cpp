#include "browser/GridSelection.h"

#include <QTest>

using namespace Qt::StringLiterals;
using lumi::GridSelection;
using lumi::Medium;

namespace {

const QList<Medium> photos{Medium{.uuid = u"a"_s}, Medium{.uuid = u"b"_s}, Medium{.uuid = u"c"_s},
                           Medium{.uuid = u"d"_s}, Medium{.uuid = u"e"_s}};

QStringList sorted(const QSet<QString>& set)
{
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

} // namespace

class GridSelectionTest final : public QObject
{
    Q_OBJECT

private slots:
    void click_data();
    void click();
    void selectAllClearAndForget();
};

void GridSelectionTest::click_data()
{
    QTest::addColumn<QStringList>("clicks"); // earlier clicks: "ctrl:b", "shift:d", "b"
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("marked");
    QTest::addColumn<QString>("anchor");

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    const int shift = Qt::ShiftModifier;
    QTest::newRow("plain click") << QStringList{u"b"_s, u"ctrl:c"_s} << u"d"_s << none << QStringList{u"d"_s}
                                 << u"d"_s;
    QTest::newRow("ctrl adds") << QStringList{u"b"_s} << u"d"_s << ctrl << QStringList{u"b"_s, u"d"_s}
                               << u"d"_s;
    QTest::newRow("ctrl on a marked photo unmarks it and anchors there")
        << QStringList{u"b"_s, u"ctrl:d"_s} << u"b"_s << ctrl << QStringList{u"d"_s} << u"b"_s;
    QTest::newRow("shift forward") << QStringList{u"b"_s} << u"d"_s << shift
                                   << QStringList{u"b"_s, u"c"_s, u"d"_s} << u"b"_s;
    QTest::newRow("shift backward") << QStringList{u"d"_s} << u"b"_s << shift
                                    << QStringList{u"b"_s, u"c"_s, u"d"_s} << u"d"_s;
    QTest::newRow("shift replaces the earlier range") << QStringList{u"c"_s, u"shift:e"_s} << u"a"_s << shift
                                                      << QStringList{u"a"_s, u"b"_s, u"c"_s} << u"c"_s;
    QTest::newRow("shift from an unmarked anchor") << QStringList{u"b"_s, u"ctrl:b"_s} << u"d"_s << shift
                                                   << QStringList{u"b"_s, u"c"_s, u"d"_s} << u"b"_s;
    QTest::newRow("shift without an anchor")
        << QStringList{} << u"c"_s << shift << QStringList{u"c"_s} << u"c"_s;
    QTest::newRow("shift with a stale anchor")
        << QStringList{u"gone"_s} << u"c"_s << shift << QStringList{u"c"_s} << u"c"_s;
    QTest::newRow("ctrl wins over shift")
        << QStringList{u"b"_s} << u"d"_s << (ctrl | shift) << QStringList{u"b"_s, u"d"_s} << u"d"_s;
}

void GridSelectionTest::click()
{
    QFETCH(QStringList, clicks);
    QFETCH(QString, click);
    QFETCH(int, modifiers);
    QFETCH(QStringList, marked);
    QFETCH(QString, anchor);

    GridSelection selection;
    for (const QString& earlier : clicks) {
        const QStringList parts = earlier.split(u':');
        const Qt::KeyboardModifiers held = parts.size() == 1       ? Qt::NoModifier
                                           : parts[0] == u"ctrl"_s ? Qt::ControlModifier
                                                                   : Qt::ShiftModifier;
        selection.click(parts.last(), held, photos);
    }
    selection.click(click, Qt::KeyboardModifiers(modifiers), photos);
    QCOMPARE(sorted(selection.marked()), marked);
    QCOMPARE(selection.anchor(), std::optional<QString>(anchor));
}

void GridSelectionTest::selectAllClearAndForget()
{
    GridSelection selection;
    selection.selectAll({});
    QVERIFY(selection.marked().isEmpty());

    selection.click(u"d"_s, Qt::NoModifier, photos);
    selection.selectAll(photos);
    QCOMPARE(selection.marked().size(), 5);
    selection.forget(u"b"_s);
    // Marks of photos no longer listed are not chosen.
    QList<Medium> shown = photos;
    shown.removeAt(2);
    QCOMPARE(selection.markedMedia(shown), (QList<Medium>{photos[0], photos[3], photos[4]}));

    selection.clear();
    QVERIFY(selection.marked().isEmpty());
    QVERIFY(!selection.anchor());
}

QTEST_GUILESS_MAIN(GridSelectionTest)
#include "GridSelectionTest.moc"
