#include "player/ReflectionsEffect.h"

#include "support/player/EffectFrames.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr QSize screen(1000, 600);

PlaySettings titles(bool on)
{
    PlaySettings settings;
    settings.showTitles = on;
    return settings;
}

// The rows of a column that are not black, as [first, last] runs.
QList<QPair<int, int>> runs(const QImage& frame, int x)
{
    QList<QPair<int, int>> found;
    for (int y = 0; y < frame.height(); ++y) {
        if (frame.pixelColor(x, y).value() <= 8)
            continue;
        if (!found.isEmpty() && found.last().second == y - 1)
            found.last().second = y;
        else
            found.append({y, y});
    }
    return found;
}

} // namespace

class ReflectionsEffectTest final : public QObject
{
    Q_OBJECT

private slots:
    void photoStandsOnAFadingReflection_data()
    {
        QTest::addColumn<bool>("showTitles");
        QTest::newRow("titles") << true;
        QTest::newRow("no titles") << false;
    }

    void photoStandsOnAFadingReflection()
    {
        QFETCH(bool, showTitles);
        ReflectionsEffect effect(titles(showTitles));
        // Red with a blue bottom quarter: the reflection starts with blue.
        effect.photoChanged(test::colourPhoto(QSize(160, 90), Qt::red, u"Cliffs"_s, Qt::blue),
                            Transition{0ms, 0ms});
        const QImage frame = test::frameOf(effect, screen, 0ms);

        // Fitted into 0.8 W by 0.58 H: 619 by 348, centred with what stands below it.
        const QList<QPair<int, int>> column = runs(frame, 500);
        QVERIFY(column.size() >= 2);
        const auto [photoTop, photoBottom] = column.at(0);
        QCOMPARE(photoBottom - photoTop + 1, 348);
        QVERIFY(test::looksLike(frame, QPoint(500, photoBottom), Qt::blue));
        QVERIFY(test::looksLike(frame, QPoint(500, photoTop), Qt::red));
        QVERIFY(test::looksLike(frame, QPoint(191, photoTop + 10), Qt::red));
        QVERIFY(test::looksLike(frame, QPoint(188, photoTop + 10), Qt::black, 0));

        // 2 pixels lower the mirror starts at 0.35 of the photo's bottom row, fading out within 0.22 H.
        const auto [mirrorTop, mirrorBottom] = column.at(1);
        QCOMPARE(mirrorTop, photoBottom + 3);
        QVERIFY2(test::looksLike(frame, QPoint(500, mirrorTop), QColor(0, 0, 89), 4),
                 qPrintable(test::describePixel(frame, QPoint(500, mirrorTop))));
        QVERIFY(mirrorBottom < mirrorTop + 132);
        QVERIFY(frame.pixelColor(500, mirrorTop + 80).blue() < 45);

        // The title, when on, sits below the reflection's frame; the whole stack is centred.
        int lowest = mirrorTop + 132;
        bool titleSeen = false;
        for (int y = mirrorTop + 132; y < 600; ++y) {
            for (int x = 400; x < 600; ++x) {
                if (frame.pixelColor(x, y).value() > 100) {
                    titleSeen = true;
                    lowest = y;
                }
            }
        }
        QCOMPARE(titleSeen, showTitles);
        QVERIFY(qAbs(photoTop - (600 - lowest)) <= 10);
    }

    void photosSwingInAndOut()
    {
        ReflectionsEffect effect(titles(false));
        effect.photoChanged(test::colourPhoto(QSize(160, 90), Qt::red), Transition{0ms, 0ms});
        effect.photoChanged(test::colourPhoto(QSize(160, 90), Qt::blue), Transition{1000ms, 2000ms});

        // Unturned, the photo spans x 191 to 809 and y 59 to 406.
        const QImage before = test::frameOf(effect, screen, 1000ms);
        QVERIFY(test::looksLike(before, QPoint(195, 63), Qt::red));

        // Halfway both are turned 22.5° either way at half strength: the old photo's nearer side
        // rises above its top edge, the new one's on the other side; both are narrower than flat.
        const QImage middle = test::frameOf(effect, screen, 2000ms);
        const QColor left = middle.pixelColor(205, 52);
        const QColor right = middle.pixelColor(795, 52);
        QVERIFY2(left.blue() > 60 && left.red() < 10,
                 qPrintable(test::describePixel(middle, QPoint(205, 52))));
        QVERIFY2(right.red() > 60 && right.blue() < 10,
                 qPrintable(test::describePixel(middle, QPoint(795, 52))));
        QVERIFY(test::looksLike(middle, QPoint(193, 230), Qt::black, 0));
        QVERIFY(test::looksLike(middle, QPoint(807, 230), Qt::black, 0));
        QVERIFY(effect.isMoving(2000ms));

        QVERIFY(test::looksLike(test::frameOf(effect, screen, 3000ms), QPoint(195, 63), Qt::blue));
        QVERIFY(!effect.isMoving(3000ms));
    }

    void swingSeesTheTurnFromTwiceTheLongerSide()
    {
        // Turned 45° about the centre line of a 1000 by 600 area seen from 2000 pixels away, the
        // top-right corner comes nearer and grows.
        const QPointF corner = ReflectionsEffect::swing(QSizeF(1000, 600), 45).map(QPointF(1000, 0));
        QVERIFY(qAbs(corner.x() - 929.5) < 0.5);
        QVERIFY(qAbs(corner.y() + 64.4) < 0.5);
        QCOMPARE(ReflectionsEffect::swing(QSizeF(1000, 600), 0), QTransform());
    }
};

} // namespace lumi

QTEST_MAIN(lumi::ReflectionsEffectTest)
#include "ReflectionsEffectTest.moc"
