#include "player/PannerEffect.h"

#include "support/player/EffectFrames.h"

#include <QPainter>
#include <QTest>

using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr QSize screen(400, 200);

// Red left half, blue right half, a green band along the top tenth: the split shows the drift,
// the band's edge the zoom.
ShownPhoto markedPhoto()
{
    ShownPhoto photo = test::colourPhoto(screen, Qt::red);
    QPainter painter(&photo.image);
    painter.fillRect(200, 0, 200, 200, Qt::blue);
    painter.fillRect(0, 0, 400, 20, Qt::green);
    return photo;
}

} // namespace

class PannerEffectTest final : public QObject
{
    Q_OBJECT

private slots:
    void driftsAndZoomsOverThePausePlusTwoSeconds_data()
    {
        QTest::addColumn<qreal>("drift");
        QTest::addColumn<int>("at");
        QTest::addColumn<qreal>("split");
        QTest::addColumn<qreal>("bandEdge");
        // Pause 3 s: the drift takes 5 s. Halfway a drifting photo is at scale 1.1 and ±0.05 W.
        QTest::newRow("right, halfway") << 0.1 << 2500 << 220.0 << 12.0;
        QTest::newRow("left, halfway") << -0.1 << 2500 << 180.0 << 12.0;
        QTest::newRow("in place, halfway") << 0.0 << 2500 << 200.0 << 16.0;
        QTest::newRow("right, at rest") << 0.1 << 9000 << 240.0 << 4.0;
        QTest::newRow("left, at rest") << -0.1 << 9000 << 160.0 << 4.0;
    }

    void driftsAndZoomsOverThePausePlusTwoSeconds()
    {
        QFETCH(qreal, drift);
        QFETCH(int, at);
        QFETCH(qreal, split);
        QFETCH(qreal, bandEdge);

        PlaySettings settings;
        settings.pauseSeconds = 3;
        settings.showTitles = false;
        PannerEffect panner(settings, [drift] { return drift; });
        panner.photoChanged(markedPhoto(), Transition{0ms, 1600ms});
        const QImage frame = test::frameOf(panner, screen, std::chrono::milliseconds(at));

        const int splitX = qRound(split);
        QVERIFY2(test::looksLike(frame, QPoint(splitX - 3, 100), Qt::red, 10),
                 qPrintable(test::describePixel(frame, QPoint(splitX - 3, 100))));
        QVERIFY2(test::looksLike(frame, QPoint(splitX + 2, 100), Qt::blue, 10),
                 qPrintable(test::describePixel(frame, QPoint(splitX + 2, 100))));
        QVERIFY(test::looksLike(frame, QPoint(splitX - 30, qRound(bandEdge) - 2), Qt::green, 10));
        QVERIFY(test::looksLike(frame, QPoint(splitX - 30, qRound(bandEdge) + 2), Qt::red, 10));
        // However far it drifts, the photo covers both edges: no black shows.
        for (const QPoint edge : {QPoint(0, 100), QPoint(399, 100), QPoint(0, 199), QPoint(399, 199)})
            QVERIFY2(frame.pixelColor(edge).value() > 200, qPrintable(test::describePixel(frame, edge)));
        QCOMPARE(panner.isMoving(std::chrono::milliseconds(at)), at < 5000);
    }

    void fillsWhateverTheCropSetting()
    {
        PlaySettings settings;
        settings.crop = false;
        settings.showTitles = false;
        PannerEffect panner(settings, [] { return 0.0; });
        panner.photoChanged(test::colourPhoto(QSize(100, 100), Qt::green), Transition{0ms, 0ms});
        const QImage frame = test::frameOf(panner, screen, 0ms);
        QVERIFY(test::looksLike(frame, QPoint(2, 100), Qt::green));
        QVERIFY(test::looksLike(frame, QPoint(397, 100), Qt::green));
    }

    void drawsFiveDriftsAtRandom()
    {
        QSet<qreal> drifts;
        for (int i = 0; i < 200; ++i)
            drifts.insert(PannerEffect::randomDrift());
        QCOMPARE(drifts, (QSet<qreal>{-0.1, -0.05, 0, 0.05, 0.1}));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::PannerEffectTest)
#include "PannerEffectTest.moc"
