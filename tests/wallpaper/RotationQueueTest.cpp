#include "wallpaper/RotationQueue.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

Medium photo(const QString& uuid, std::optional<QString> title)
{
    return Medium{.uuid = uuid, .title = std::move(title)};
}

// Photos A to D titled so that their uuids sort like their titles.
QList<Medium> lettered(const QString& letters)
{
    QList<Medium> pool;
    for (const QChar letter : letters)
        pool.append(photo(QString(letter), u"Title "_s + letter));
    return pool;
}

QString uuids(const QList<Medium>& photos)
{
    QString text;
    for (const Medium& photo : photos)
        text += photo.uuid;
    return text;
}

} // namespace

class RotationQueueTest final : public QObject
{
    Q_OBJECT

private slots:
    void titleOrder_data();
    void titleOrder();
    void shuffleNeverShowsTheShowingPhotoFirst_data();
    void shuffleNeverShowsTheShowingPhotoFirst();
    void refillsOnlyWhenEmpty();
};

void RotationQueueTest::titleOrder_data()
{
    QTest::addColumn<QList<Medium>>("pool");
    QTest::addColumn<QString>("showing");
    QTest::addColumn<QString>("expected");

    const QList<Medium> fruit{photo(u"b"_s, u"banana"_s), photo(u"A"_s, u"Apple"_s),
                              photo(u"c"_s, u"cherry"_s)};
    QTest::newRow("case is ignored") << fruit << QString() << u"Abc"_s;
    QTest::newRow("a missing or empty title sorts as Untitled")
        << QList<Medium>{photo(u"n"_s, std::nullopt), photo(u"z"_s, u"Zebra"_s), photo(u"e"_s, u""_s),
                         photo(u"t"_s, u"Tree"_s)}
        << QString() << u"tnez"_s;
    QTest::newRow("equal titles keep the pool's order")
        << QList<Medium>{photo(u"2"_s, u"Same"_s), photo(u"1"_s, u"same"_s), photo(u"0"_s, u"Other"_s)}
        << QString() << u"021"_s;
    QTest::newRow("continues after the photo showing") << lettered(u"DBCA"_s) << u"B"_s << u"CDAB"_s;
    QTest::newRow("the last title showing starts over") << lettered(u"ABCD"_s) << u"D"_s << u"ABCD"_s;
    QTest::newRow("a photo showing outside the pool") << lettered(u"CADB"_s) << u"X"_s << u"ABCD"_s;
    QTest::newRow("empty pool") << QList<Medium>() << u"A"_s << QString();
}

void RotationQueueTest::titleOrder()
{
    QFETCH(QList<Medium>, pool);
    QFETCH(QString, showing);
    QFETCH(QString, expected);
    const std::optional<Medium> shown =
        showing.isEmpty() ? std::nullopt : std::optional(photo(showing, u"?"_s));
    QCOMPARE(uuids(RotationQueue::titleOrder(pool, shown)), expected);
}

void RotationQueueTest::shuffleNeverShowsTheShowingPhotoFirst_data()
{
    QTest::addColumn<QString>("letters");
    QTest::newRow("two photos") << u"AB"_s;
    QTest::newRow("three photos") << u"ABC"_s;
    QTest::newRow("five photos") << u"ABCDE"_s;
}

void RotationQueueTest::shuffleNeverShowsTheShowingPhotoFirst()
{
    QFETCH(QString, letters);
    const QList<Medium> pool = lettered(letters);
    const Medium showing = pool.first();
    QSet<QString> firsts;
    QSet<QString> orders;
    for (quint32 seed = 1; seed <= 400; ++seed) {
        QRandomGenerator random(seed);
        const QList<Medium> queue = RotationQueue::shuffled(pool, showing, random);
        QString order = uuids(queue);
        std::sort(order.begin(), order.end());
        QCOMPARE(order, letters);
        QVERIFY2(queue.first().uuid != showing.uuid, qPrintable(uuids(queue)));
        firsts.insert(queue.first().uuid);
        orders.insert(uuids(queue));
    }
    // Every other photo comes first sometimes, and the rest of the order varies too.
    QCOMPARE(firsts.size(), letters.size() - 1);
    if (letters.size() > 2)
        QVERIFY(orders.size() > firsts.size());

    // A single photo is queued even though it is the one showing.
    QRandomGenerator random(7);
    QCOMPARE(uuids(RotationQueue::shuffled(lettered(u"A"_s), showing, random)), u"A"_s);
}

void RotationQueueTest::refillsOnlyWhenEmpty()
{
    RotationQueue queue;
    const QList<Medium> pool = lettered(u"ABC"_s);
    QCOMPARE(queue.next(pool, pool[0], false)->uuid, u"B"_s);
    // A pool that changes meanwhile does not disturb the queue until it runs out.
    QCOMPARE(queue.next(lettered(u"XYZ"_s), pool[1], false)->uuid, u"C"_s);
    QCOMPARE(queue.next(pool, pool[2], false)->uuid, u"A"_s);
    QCOMPARE(queue.next(lettered(u"XY"_s), std::nullopt, false)->uuid, u"X"_s);
    queue.clear();
    QVERIFY(!queue.next({}, pool[0], true));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationQueueTest)
#include "RotationQueueTest.moc"
