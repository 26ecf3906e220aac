#include "player/FallerEffect.h"

#include "support/player/EffectFrames.h"
#include "support/player/PlayerRig.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

} // namespace

class FallerEffectTest final : public QObject
{
    Q_OBJECT

private slots:
    void firstFrameHasPrintsPartWayDown()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::faller),
                            {u"red"_s, u"lime"_s, u"blue"_s, u"yellow"_s});
        QRandomGenerator random(7);
        FallerEffect effect(*rig.model, random);
        QCoreApplication::processEvents();
        QCOMPARE(effect.prints().size(), size_t(4));

        const QSize size(1600, 900);
        const std::chrono::milliseconds now = rig.clock.monotonic();
        const QImage frame = test::frameOf(effect, size, now);
        const QList<qreal> heights = {0.68, 0.40, 0.12, -0.30};
        const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
        for (int i = 0; i < 4; ++i) {
            const FallerEffect::Print& print = effect.prints().at(i);
            QVERIFY(print.x >= 0.15 && print.x <= 0.85);
            QVERIFY(print.width >= 0.22 && print.width <= 0.32);
            QVERIFY(qAbs(print.rotationTo - print.rotationFrom) <= 25);
            const QPointF centre(print.x * size.width(), heights.at(i) * size.height());
            QVERIFY(qAbs(print.centre(QSizeF(size), now).y() - centre.y()) < 0.5);
            if (centre.y() < 0)
                continue;
            // Later prints lie on top: look only where none of them reaches.
            bool covered = false;
            for (int later = i + 1; later < 4; ++later) {
                const FallerEffect::Print& above = effect.prints().at(later);
                covered |= QLineF(centre, above.centre(QSizeF(size), now)).length() <
                           above.width * size.width() * 0.75;
            }
            if (covered)
                continue;
            QVERIFY2(test::looksLike(frame, centre.toPoint(), colours.at(i)),
                     qPrintable(test::describePixel(frame, centre.toPoint())));
            // 5 pixels in from the print's right edge, along its turned axis: the white border.
            const qreal angle = qDegreesToRadians(print.rotation(now));
            const qreal half = print.width * size.width() / 2;
            const QPointF border = centre + QPointF(std::cos(angle), std::sin(angle)) * (half - 5);
            const QPointF inside = centre + QPointF(std::cos(angle), std::sin(angle)) * (half - 14);
            QVERIFY2(test::looksLike(frame, border.toPoint(), Qt::white, 20),
                     qPrintable(test::describePixel(frame, border.toPoint())));
            QVERIFY2(test::looksLike(frame, inside.toPoint(), colours.at(i), 20),
                     qPrintable(test::describePixel(frame, inside.toPoint())));
        }
    }

    void finishedPrintsAreReplacedWithTheirOwnDuration()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::faller),
                            {u"red"_s, u"lime"_s, u"blue"_s, u"yellow"_s});
        QRandomGenerator random(7);
        FallerEffect effect(*rig.model, random);
        QCoreApplication::processEvents();

        // Ends at 3, 6, 7.7 and 9 s; seen at the next 0.4 s poll, then every 10, 12, 11 and 9 s.
        QStringList replaced;
        std::vector<QUuid> ids;
        for (const auto& print : effect.prints())
            ids.push_back(print.id);
        for (int step = 1; step <= 50; ++step) {
            rig.advance(400ms);
            for (size_t i = 0; i < ids.size(); ++i) {
                if (effect.prints().at(i).id != ids[i]) {
                    ids[i] = effect.prints().at(i).id;
                    replaced.append(u"%1@%2"_s.arg(i).arg(step * 0.4, 0, 'f', 1));
                }
            }
        }
        QCOMPARE(replaced, (QStringList{u"0@3.2"_s, u"1@6.0"_s, u"2@8.0"_s, u"3@9.2"_s, u"0@13.2"_s,
                                        u"1@18.0"_s, u"3@18.4"_s, u"2@19.2"_s}));
        QCOMPARE(effect.prints().at(2).duration, 11s);
    }

    void pausedPrintsRestAtTheirEnd()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::faller), {u"red"_s});
        QRandomGenerator random(3);
        FallerEffect effect(*rig.model, random);
        QCoreApplication::processEvents();
        QCOMPARE(effect.prints().size(), size_t(4));
        rig.model->setPaused(true);
        for (int step = 0; step < 40; ++step)
            rig.advance(400ms);
        QCOMPARE(rig.photos.requests.size(), 4);
        QVERIFY(!effect.isMoving(rig.clock.monotonic()));

        rig.model->setPaused(false);
        rig.advance(400ms);
        QCOMPARE(rig.photos.requests.size(), 8);
        QVERIFY(effect.isMoving(rig.clock.monotonic()));
    }

    void deletedWhileSleepingTouchesNothingOnWaking()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::faller), {u"red"_s});
        QRandomGenerator random(3);
        auto effect = std::make_unique<FallerEffect>(*rig.model, random);
        QCoreApplication::processEvents();
        rig.advance(3600ms);
        QCOMPARE(rig.clock.sleeperCount(), 1);
        const qsizetype requests = rig.photos.requests.size();

        // The cancelled sleep resumes from the event loop, after the effect is gone.
        effect.reset();
        rig.advance(20s);
        QCOMPARE(rig.clock.sleeperCount(), 0);
        QCOMPARE(rig.photos.requests.size(), requests);
    }

    void noPhotosNoPrints()
    {
        test::PlayerRig rig(PlayMode::saver(SaverEffect::faller), {});
        QRandomGenerator random(3);
        FallerEffect effect(*rig.model, random);
        QCoreApplication::processEvents();
        rig.advance(2s);
        QVERIFY(effect.prints().empty());
        QCOMPARE(rig.clock.sleeperCount(), 1);
    }
};

} // namespace lumi

QTEST_MAIN(lumi::FallerEffectTest)
#include "FallerEffectTest.moc"
