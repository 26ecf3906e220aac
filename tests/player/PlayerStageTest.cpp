#include "player/PlayerStage.h"

#include "player/FaderEffect.h"
#include "player/PhotoTitle.h"
#include "player/PlayerModel.h"
#include "player/SliderEffect.h"
#include "support/player/EffectFrames.h"
#include "support/player/PlayerRig.h"

#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr QSize screen(320, 180);

PlaySettings settingsWith(bool crop, bool titles)
{
    PlaySettings settings;
    settings.crop = crop;
    settings.showTitles = titles;
    return settings;
}

QList<PlayMode> allModes()
{
    QList<PlayMode> modes{PlayMode::slideshow(), PlayMode::infoshow()};
    for (const SaverEffect effect : SaverEffect::all())
        modes.append(PlayMode::saver(effect));
    return modes;
}

} // namespace

class PlayerStageTest final : public QObject
{
    Q_OBJECT

private slots:
    void everyModeIsBlackWithoutPhotos()
    {
        test::PlayerRig rig(PlayMode::slideshow(), {});
        PlayerModel& model = *rig.model;
        test::ManualClock& clock = rig.clock;
        PlayerStage stage(model);
        for (const PlayMode& mode : allModes()) {
            model.setMode(mode);
            QCoreApplication::processEvents();
            clock.advance(30s);
            QImage frame(screen, QImage::Format_RGB32);
            frame.fill(Qt::white);
            QPainter painter(&frame);
            stage.paint(painter, QSizeF(screen), clock.monotonic());
            painter.end();
            for (const QPoint at : {QPoint(0, 0), QPoint(160, 90), QPoint(319, 179), QPoint(80, 150)})
                QVERIFY2(test::looksLike(frame, at, Qt::black, 0), qPrintable(mode.text()));
        }
    }

    // The panner and the reflections set every pixel themselves, so the stage leaves the area
    // uncleared: nothing of the frame before may show through, whatever drift each photo draws,
    // anywhere in a change.
    void effectsLeaveNothingOfTheFrameBefore_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("panner at 1") << PlayMode::saver(SaverEffect::kber) << 1.0;
        QTest::newRow("panner at 2") << PlayMode::saver(SaverEffect::kber) << 2.0;
        QTest::newRow("reflections at 1") << PlayMode::saver(SaverEffect::reflections) << 1.0;
        QTest::newRow("reflections at 2") << PlayMode::saver(SaverEffect::reflections) << 2.0;
    }

    void effectsLeaveNothingOfTheFrameBefore()
    {
        QFETCH(PlayMode, mode);
        QFETCH(qreal, ratio);
        PlaySettings settings = settingsWith(true, false);
        settings.pauseSeconds = 3;
        test::PlayerRig rig(mode, {u"red"_s, u"blue"_s}, settings);
        PlayerStage stage(*rig.model);
        rig.model->start(true);
        QCoreApplication::processEvents();
        for (int frame = 0; frame < 80; ++frame) {
            QImage image(screen * ratio, QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::green);
            QPainter painter(&image);
            stage.paint(painter, QSizeF(screen), rig.clock.monotonic());
            painter.end();
            QPoint leak(-1, -1);
            for (int y = 0; y < image.height() && leak.y() < 0; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < image.width() && leak.y() < 0; ++x) {
                    if (qGreen(line[x]) >= 100)
                        leak = QPoint(x, y);
                }
            }
            QVERIFY2(leak.y() < 0, qPrintable(u"%1,%2 at %3 ms"_s.arg(leak.x()).arg(leak.y()).arg(
                                       rig.clock.monotonic().count())));
            rig.advance(230ms);
        }
    }

    void aModeChangeMakesAFreshEffectWithThePhotoOnScreen()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::fader), {u"red"_s, u"blue"_s});
        PlayerModel& model = *rig.model;
        test::ManualClock& clock = rig.clock;
        PlayerStage stage(model);
        model.start(true);
        QCoreApplication::processEvents();
        const PlayerEffect* fader = &stage.effect();
        QVERIFY(qobject_cast<const FaderEffect*>(fader));

        model.setMode(PlayMode::saver(SaverEffect::slider));
        QVERIFY(qobject_cast<const SliderEffect*>(&stage.effect()));
        // The photo shows at once, with no transition, in the new effect.
        QVERIFY(test::looksLike(test::frameOf(stage.effect(), screen, clock.monotonic()), QPoint(160, 90),
                                Qt::red));
        QVERIFY(!stage.isMoving(clock.monotonic()));

        // Back to the fader is a new effect too; the slideshow shows as the fader does.
        model.setMode(PlayMode::slideshow());
        QVERIFY(qobject_cast<const FaderEffect*>(&stage.effect()));
        QVERIFY(test::looksLike(test::frameOf(stage.effect(), screen, clock.monotonic()), QPoint(160, 90),
                                Qt::red));
    }

    void faderCrossFadesOverlappingChanges()
    {
        FaderEffect fader(settingsWith(true, false));
        fader.photoChanged(test::colourPhoto(screen, Qt::red), Transition{0ms, 0ms});
        fader.photoChanged(test::colourPhoto(screen, Qt::blue), Transition{1000ms, 1600ms});
        const QPoint centre(160, 90);
        QVERIFY(test::looksLike(test::frameOf(fader, screen, 1000ms), centre, Qt::red));
        // Halfway: the new photo at half strength over the old one at half strength.
        const QImage middle = test::frameOf(fader, screen, 1800ms);
        QVERIFY2(test::looksLike(middle, centre, QColor(64, 0, 128), 3),
                 qPrintable(test::describePixel(middle, centre)));
        QVERIFY(fader.isMoving(1800ms));
        QVERIFY(test::looksLike(test::frameOf(fader, screen, 2600ms), centre, Qt::blue));
        QVERIFY(!fader.isMoving(2600ms));

        // A change in mid-fade: the photo still arriving leaves from where it got to, under the next.
        fader.photoChanged(test::colourPhoto(screen, Qt::green), Transition{3000ms, 1600ms});
        fader.photoChanged(test::colourPhoto(screen, Qt::white), Transition{3800ms, 1600ms});
        const QImage overlap = test::frameOf(fader, screen, 4600ms);
        QVERIFY2(test::looksLike(overlap, centre, QColor(128, 192, 128), 4),
                 qPrintable(test::describePixel(overlap, centre)));
        QVERIFY(test::looksLike(test::frameOf(fader, screen, 5400ms), centre, Qt::white));
    }

    void sliderMovesTheBoundaryAcross_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("boundary");
        QTest::newRow("start") << 0 << 320;
        QTest::newRow("middle") << 600 << 160;
        QTest::newRow("end") << 1200 << 0;
    }

    void sliderMovesTheBoundaryAcross()
    {
        QFETCH(int, at);
        QFETCH(int, boundary);
        SliderEffect slider(settingsWith(true, false));
        slider.photoChanged(test::colourPhoto(screen, Qt::red), Transition{0ms, 0ms});
        slider.photoChanged(test::colourPhoto(screen, Qt::blue), Transition{0ms, 1200ms});
        const QImage frame = test::frameOf(slider, screen, std::chrono::milliseconds(at));
        if (boundary > 0)
            QVERIFY2(test::looksLike(frame, QPoint(boundary - 2, 90), Qt::red),
                     qPrintable(test::describePixel(frame, QPoint(boundary - 2, 90))));
        if (boundary < 320)
            QVERIFY2(test::looksLike(frame, QPoint(boundary + 1, 90), Qt::blue),
                     qPrintable(test::describePixel(frame, QPoint(boundary + 1, 90))));
    }

    void photosFillOrFit_data()
    {
        QTest::addColumn<bool>("crop");
        QTest::addColumn<bool>("slider");
        QTest::newRow("fader fills") << true << false;
        QTest::newRow("fader fits") << false << false;
        QTest::newRow("slider fills") << true << true;
        QTest::newRow("slider fits") << false << true;
    }

    void photosFillOrFit()
    {
        QFETCH(bool, crop);
        QFETCH(bool, slider);
        std::unique_ptr<PlayerEffect> effect;
        if (slider)
            effect = std::make_unique<SliderEffect>(settingsWith(crop, false));
        else
            effect = std::make_unique<FaderEffect>(settingsWith(crop, false));
        // A square photo: fitted, it leaves black bars left and right; filled, it is cut top and bottom.
        effect->photoChanged(test::colourPhoto(QSize(100, 100), Qt::green), Transition{0ms, 0ms});
        const QImage frame = test::frameOf(*effect, screen, 0ms);
        QVERIFY(test::looksLike(frame, QPoint(160, 90), Qt::green));
        QVERIFY(test::looksLike(frame, QPoint(140, 2), Qt::green));
        QCOMPARE(test::looksLike(frame, QPoint(60, 90), Qt::black, 0), !crop);
        QCOMPARE(test::looksLike(frame, QPoint(300, 90), Qt::black, 0), !crop);
    }

    void captionsFollowTheTitleSetting_data()
    {
        QTest::addColumn<bool>("titles");
        QTest::addColumn<QString>("title");
        QTest::newRow("titled") << true << u"Harbour at dusk"_s;
        QTest::newRow("untitled") << true << QString();
        QTest::newRow("titles off") << false << u"Harbour at dusk"_s;
    }

    void captionsFollowTheTitleSetting()
    {
        QFETCH(bool, titles);
        QFETCH(QString, title);
        const QColor grey(40, 40, 40);
        FaderEffect fader(settingsWith(true, titles));
        const ShownPhoto photo = test::colourPhoto(QSize(640, 360), grey, title);
        fader.photoChanged(photo, Transition{0ms, 0ms});
        const QSize size(640, 360);
        const QImage frame = test::frameOf(fader, size, 0ms);

        // The caption keeps to its box at the bottom left; outside it only the photo shows.
        const QRect box =
            PhotoTitle(photo.medium.displayTitle()).textRect(QRectF(QPointF(), QSizeF(size))).toAlignedRect();
        QCOMPARE(box.left(), 36);
        QCOMPARE(box.bottom() + 1, 360 - 28);
        int white = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x)
                white += frame.pixelColor(x, y).lightness() > 200;
        }
        QCOMPARE(white > 20, titles);
        for (const QPoint at : {QPoint(10, 200), QPoint(box.right() + 20, box.center().y()), QPoint(320, 100),
                                QPoint(box.left(), box.top() - 20)})
            QVERIFY2(test::looksLike(frame, at, grey, 2), qPrintable(test::describePixel(frame, at)));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::PlayerStageTest)
#include "PlayerStageTest.moc"
