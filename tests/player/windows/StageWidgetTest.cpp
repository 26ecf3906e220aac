#include "player/windows/StageWidget.h"

#include "player/PlayerModel.h"
#include "player/PlayerStage.h"
#include "support/OffscreenScreen.h"
#include "support/player/PlayerRig.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

// A screen scaled twice: 1200 by 700 units, 2400 by 1400 pixels.
constexpr QSize pixels(2400, 1400);
constexpr qreal ratio = 2;

int brightness(QRgb pixel)
{
    return (qRed(pixel) + qGreen(pixel) + qBlue(pixel)) / 3;
}

// The share of neighbouring pixels in a row of `region` that differ by more than half the range.
qreal contrast(const QImage& frame, const QRect& region)
{
    int sharp = 0;
    int pairs = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x < region.right(); ++x) {
            sharp +=
                std::abs(brightness(frame.pixel(x, y)) - brightness(frame.pixel(x + 1, y))) > 128 ? 1 : 0;
            ++pairs;
        }
    }
    return qreal(sharp) / pairs;
}

// How many pixels of `region` differ from their left neighbour in an even column: none when the
// picture was drawn at half the resolution and doubled.
int undoubled(const QImage& frame, const QRect& region)
{
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left() & ~1; x < region.right(); x += 2)
            count += frame.pixel(x, y) != frame.pixel(x + 1, y) ? 1 : 0;
    }
    return count;
}

} // namespace

/// The stage in a window on a screen scaled twice, as the offscreen platform makes one: what it
/// shows is drawn at the screen's pixels, not at half of them and doubled.
class StageWidgetTest final : public QObject
{
    Q_OBJECT

private slots:
    void photosKeepEveryDevicePixel_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QRect>("region"); // in pixels
        QTest::addColumn<qreal>("sharp");  // the least share of stripe edges kept there

        // Each photo is as large in pixels as the effect draws it, so it is drawn one to one and
        // every stripe stays; doubled, none would. The panner's zoom and the faller's turn
        // resample, so fewer stay, but still far more than none: the zoom's beat leaves a share
        // from 0.08 to 0.15 with the drift drawn; the faller turns its prints by a random angle,
        // and at the steepest few stripes survive it.
        QTest::newRow("fader") << PlayMode::saver(SaverEffect::fader) << pixels << QRect(1180, 680, 40, 40)
                               << 0.9;
        QTest::newRow("slider") << PlayMode::saver(SaverEffect::slider) << pixels << QRect(1180, 680, 40, 40)
                                << 0.9;
        QTest::newRow("four-up") << PlayMode::saver(SaverEffect::fourup) << QSize(1176, 676)
                                 << QRect(580, 340, 40, 40) << 0.9;
        QTest::newRow("reflections") << PlayMode::saver(SaverEffect::reflections) << QSize(1920, 812)
                                     << QRect(1180, 500, 40, 40) << 0.9;
        QTest::newRow("stories") << PlayMode::infoshow() << QSize(1248, 1240) << QRect(700, 680, 40, 40)
                                 << 0.9;
        QTest::newRow("panner") << PlayMode::saver(SaverEffect::kber) << pixels << QRect(1180, 680, 40, 40)
                                << 0.05;
        QTest::newRow("faller") << PlayMode::saver(SaverEffect::faller) << QSize(700, 400)
                                << QRect(QPoint(), pixels - QSize(1, 1)) << 0.0002;
    }

    void photosKeepEveryDevicePixel()
    {
        QFETCH(PlayMode, mode);
        QFETCH(QSize, photo);
        QFETCH(QRect, region);
        QFETCH(qreal, sharp);

        PlaySettings settings;
        settings.showTitles = false;
        test::PlayerRig rig(mode, {u"stripes %1x%2"_s.arg(photo.width()).arg(photo.height())}, settings);
        const QImage frame = show(rig, 3s);
        QCOMPARE(frame.size(), pixels);
        QVERIFY2(contrast(frame, region) > sharp, qPrintable(u"%1"_s.arg(contrast(frame, region))));
    }

    void captionsKeepEveryDevicePixel()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::fader), {u"#336699"_s}, PlaySettings());
        const QImage frame = show(rig, 3s);
        // "Untitled", 36 units from the left and 28 above the bottom.
        const QRect caption(int(36 * ratio), int((700 - 28 - 24) * ratio), int(90 * ratio), int(24 * ratio));
        QVERIFY2(undoubled(frame, caption) > 40, qPrintable(QString::number(undoubled(frame, caption))));
    }

private:
    // The window's picture `after` the first photo came.
    static QImage show(test::PlayerRig& rig, std::chrono::milliseconds after)
    {
        PlayerStage stage(*rig.model);
        StageWidget widget(stage, rig.clock);
        widget.resize(QSizeF(pixels / ratio).toSize());
        widget.show();
        rig.model->start(true);
        rig.advance(after);
        if (widget.devicePixelRatio() != ratio)
            qWarning("the screen is not scaled: %f", widget.devicePixelRatio());
        return widget.grab().toImage();
    }
};

} // namespace lumi

int main(int argc, char** argv)
{
    lumi::test::useOffscreenScreen(QSize(2400, 1400), 2);
    QApplication app(argc, argv);
    lumi::StageWidgetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StageWidgetTest.moc"
