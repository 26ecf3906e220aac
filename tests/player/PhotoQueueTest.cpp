#include "player/PhotoQueue.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QList<Medium> photos(int count)
{
    QList<Medium> media;
    for (int i = 0; i < count; ++i)
        media.append(Medium{.uuid = QString::number(i)});
    return media;
}

// What each step gave: the photo's number, or "-" for none.
QString play(PhotoQueue& queue, const QString& steps)
{
    QStringList shown;
    for (const QChar step : steps) {
        const std::optional<Medium> photo = step == u'n' ? queue.next() : queue.previous();
        shown.append(photo ? photo->uuid : u"-"_s);
    }
    return shown.join(u' ');
}

} // namespace

class PhotoQueueTest final : public QObject
{
    Q_OBJECT

private slots:
    void stepsInOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("position");

        QTest::newRow("empty") << 0 << 0 << u"nnp"_s << u"- - -"_s << -1;
        QTest::newRow("one photo") << 1 << 0 << u"nnpp"_s << u"0 0 0 0"_s << 0;
        QTest::newRow("one photo, start past it") << 1 << 4 << u"np"_s << u"0 0"_s << 0;
        QTest::newRow("start 3 wraps forward") << 5 << 3 << u"nnnn"_s << u"3 4 0 1"_s << 1;
        QTest::newRow("back after the first") << 5 << 3 << u"np"_s << u"3 2"_s << 2;
        QTest::newRow("back before the first") << 5 << 0 << u"pp"_s << u"3 2"_s << 2;
        QTest::newRow("start past the end") << 5 << 9 << u"nn"_s << u"4 0"_s << 0;
        QTest::newRow("start below zero") << 5 << -2 << u"n"_s << u"0"_s << 0;
    }

    void stepsInOrder()
    {
        QFETCH(int, count);
        QFETCH(int, start);
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        QFETCH(int, position);

        QRandomGenerator random(1);
        PhotoQueue queue(photos(count), start, false, random);
        QCOMPARE(play(queue, steps), expected);
        QCOMPARE(queue.position(), position);
    }

    void shuffleStartsWithTheStartPhotoAndRepeats_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 4; ++seed) {
            QTest::addRow("start 2, seed %u", seed) << 2 << seed;
            QTest::addRow("start outside, seed %u", seed) << 7 << seed;
        }
    }

    void shuffleStartsWithTheStartPhotoAndRepeats()
    {
        QFETCH(int, start);
        QFETCH(quint32, seed);

        QRandomGenerator random(seed);
        PhotoQueue queue(photos(5), start, true, random);
        QList<int> sorted = queue.order();
        std::sort(sorted.begin(), sorted.end());
        QCOMPARE(sorted, (QList<int>{0, 1, 2, 3, 4}));

        const QString firstPass = play(queue, u"nnnnn"_s);
        if (start == 2)
            QVERIFY(firstPass.startsWith(u"2 "_s));
        QCOMPARE(play(queue, u"nnnnn"_s), firstPass);
        QCOMPARE(play(queue, u"p"_s), firstPass.section(u' ', 3, 3));
    }

    void shuffleIsSpreadBySeed()
    {
        // Different seeds give different orders: the generator really drives the shuffle.
        QSet<QList<int>> orders;
        for (quint32 seed = 1; seed <= 20; ++seed) {
            QRandomGenerator random(seed);
            orders.insert(PhotoQueue(photos(6), 0, true, random).order());
        }
        QVERIFY(orders.size() > 10);
    }
};

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoQueueTest)
#include "PhotoQueueTest.moc"
