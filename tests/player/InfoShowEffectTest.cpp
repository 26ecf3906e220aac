#include "player/InfoShowEffect.h"

#include "support/player/EffectFrames.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr QSize screen(1600, 900);

// The rows holding text in the panel's columns.
QPair<int, int> textRows(const QImage& frame)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 1104; x < 1544; ++x) {
            if (frame.pixelColor(x, y).value() > 60) {
                if (top < 0)
                    top = y;
                bottom = y;
                break;
            }
        }
    }
    return {top, bottom};
}

} // namespace

class InfoShowEffectTest final : public QObject
{
    Q_OBJECT

private slots:
    void photoLeftAndStoryRight_data()
    {
        QTest::addColumn<std::optional<QString>>("description");
        QTest::addColumn<bool>("twoParts");
        QTest::newRow("no description") << std::optional<QString>() << false;
        QTest::newRow("empty description") << std::optional<QString>(QString()) << false;
        QTest::newRow("description")
            << std::optional<QString>(u"A fishing village on a rocky shore, painted in every colour the "
                                      u"sea allows, where the boats come home at noon."_s)
            << true;
    }

    void photoLeftAndStoryRight()
    {
        QFETCH(std::optional<QString>, description);
        QFETCH(bool, twoParts);

        InfoShowEffect effect;
        ShownPhoto photo = test::colourPhoto(QSize(160, 90), Qt::red);
        photo.medium.description = description;
        effect.photoChanged(photo, Transition{0ms, 1600ms});
        const QImage frame = test::frameOf(effect, screen, 1600ms);

        // The photo fits into the width the panel leaves, 40 pixels in from every side: 1024 by 576.
        QVERIFY(test::looksLike(frame, QPoint(40, 450), Qt::red));
        QVERIFY(test::looksLike(frame, QPoint(39, 450), Qt::black, 0));
        QVERIFY(test::looksLike(frame, QPoint(1063, 450), Qt::red));
        QVERIFY(test::looksLike(frame, QPoint(1064, 450), Qt::black, 0));
        QVERIFY(test::looksLike(frame, QPoint(500, 162), Qt::red));
        QVERIFY(test::looksLike(frame, QPoint(500, 160), Qt::black, 0));

        // The panel starts at W - 496 with the title ("Untitled" here), centred on the height.
        int leftmost = screen.width();
        for (int y = 0; y < 900; ++y) {
            for (int x = 1070; x < 1600; ++x) {
                if (frame.pixelColor(x, y).value() > 60) {
                    leftmost = std::min(leftmost, x);
                    break;
                }
            }
        }
        QVERIFY2(leftmost >= 1104 && leftmost < 1110, qPrintable(QString::number(leftmost)));
        const auto [top, bottom] = textRows(frame);
        QVERIFY(qAbs((top + bottom) / 2 - 450) < 20);
        QCOMPARE(bottom - top > 60, twoParts);
    }

    void photosCrossFade()
    {
        InfoShowEffect effect;
        effect.photoChanged(test::colourPhoto(QSize(160, 90), Qt::red), Transition{0ms, 0ms});
        effect.photoChanged(test::colourPhoto(QSize(160, 90), Qt::blue), Transition{0ms, 1600ms});
        QVERIFY(
            test::looksLike(test::frameOf(effect, screen, 800ms), QPoint(500, 450), QColor(64, 0, 128), 3));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::InfoShowEffectTest)
#include "InfoShowEffectTest.moc"
