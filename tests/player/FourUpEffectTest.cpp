#include "player/FourUpEffect.h"

#include "support/player/EffectFrames.h"
#include "support/player/PlayerRig.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QStringList colours = {u"red"_s, u"lime"_s, u"blue"_s, u"yellow"_s, u"white"_s, u"cyan"_s};

} // namespace

class FourUpEffectTest final : public QObject
{
    Q_OBJECT

private slots:
    void fourCellsWithBlackGaps()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::fourup), colours, 10);
        FourUpEffect effect(*rig.model);
        QCoreApplication::processEvents();
        const QSize size(408, 308);
        // Cells of 192 by 142 with 8-pixel gaps and margins.
        QVERIFY(test::looksLike(test::frameOf(effect, size, 600ms), QPoint(100, 80), QColor(128, 0, 0), 3));
        const QImage frame = test::frameOf(effect, size, 1200ms);
        const QList<QPair<QPoint, QColor>> cells = {
            {{8, 8}, Qt::red},    {{199, 149}, Qt::red},  {{208, 8}, Qt::green},    {{399, 149}, Qt::green},
            {{8, 158}, Qt::blue}, {{199, 299}, Qt::blue}, {{208, 158}, Qt::yellow}, {{399, 299}, Qt::yellow}};
        for (const auto& [at, colour] : cells)
            QVERIFY2(test::looksLike(frame, at, colour), qPrintable(test::describePixel(frame, at)));
        for (const QPoint gap : {QPoint(4, 100), QPoint(203, 100), QPoint(403, 100), QPoint(100, 4),
                                 QPoint(100, 153), QPoint(300, 303), QPoint(7, 7), QPoint(200, 150)})
            QVERIFY2(test::looksLike(frame, gap, Qt::black, 0), qPrintable(test::describePixel(frame, gap)));
        QVERIFY(!effect.isMoving(1200ms));
    }

    void cellsChangeInTurnOnePerBeat_data()
    {
        QTest::addColumn<double>("pause");
        QTest::addColumn<int>("beat");
        QTest::newRow("3 s") << 3.0 << 2000;
        QTest::newRow("10 s") << 10.0 << 5000;
        QTest::newRow("60 s") << 60.0 << 30000;
    }

    void cellsChangeInTurnOnePerBeat()
    {
        QFETCH(double, pause);
        QFETCH(int, beat);
        test::PlayerRig rig(PlayMode::saver(SaverEffect::fourup), colours, pause);
        FourUpEffect effect(*rig.model);
        QCoreApplication::processEvents();
        QCOMPARE(rig.photos.requests, colours.first(4));
        QSignalSpy changed(&effect, &PlayerEffect::changed);

        rig.advance(std::chrono::milliseconds(beat - 1));
        QCOMPARE(rig.photos.requests.size(), 4);
        rig.advance(1ms);
        QCOMPARE(rig.photos.requests.size(), 5);
        QCOMPARE(changed.size(), 1);
        const std::chrono::milliseconds now = rig.clock.monotonic();
        // The first cell fades to the fifth photo; the second cell is next.
        const QSize size(408, 308);
        QVERIFY(test::looksLike(test::frameOf(effect, size, now + 1600ms), QPoint(100, 80), Qt::white));
        rig.advance(std::chrono::milliseconds(beat));
        QVERIFY(test::looksLike(test::frameOf(effect, size, now + 10min), QPoint(300, 80), Qt::cyan));
        QVERIFY(test::looksLike(test::frameOf(effect, size, now + 10min), QPoint(100, 220), Qt::blue));

        // Paused: the beat goes on, no cell changes.
        rig.model->setPaused(true);
        for (int i = 0; i < 3; ++i)
            rig.advance(std::chrono::milliseconds(beat));
        QCOMPARE(rig.photos.requests.size(), 6);
        rig.model->setPaused(false);
        rig.advance(std::chrono::milliseconds(beat));
        QCOMPARE(rig.photos.requests.size(), 7);
    }

    void aBeatWithoutAPhotoTriesTheSameCellAgain()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::fourup), colours, 3);
        FourUpEffect effect(*rig.model);
        QCoreApplication::processEvents();
        rig.photos.failing = QSet<QString>(colours.begin(), colours.end());
        rig.advance(2s);
        QCOMPARE(rig.photos.requests.size(), 4 + 5);
        rig.photos.failing.clear();
        rig.advance(2s);
        const QImage frame = test::frameOf(effect, QSize(408, 308), rig.clock.monotonic() + 2s);
        QVERIFY2(!test::looksLike(frame, QPoint(100, 80), Qt::red),
                 qPrintable(test::describePixel(frame, QPoint(100, 80))));
        QVERIFY(test::looksLike(frame, QPoint(300, 80), Qt::green));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::FourUpEffectTest)
#include "FourUpEffectTest.moc"
