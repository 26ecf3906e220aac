#include "player/PlayerModel.h"

#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/player/PlayerRig.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QStringList sevenColours = {u"red"_s,  u"green"_s,   u"blue"_s, u"yellow"_s,
                                  u"cyan"_s, u"magenta"_s, u"white"_s};

} // namespace

class PlayerModelTest final : public QObject
{
    Q_OBJECT

private slots:
    void photoKShowsAtKPauses()
    {
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        QSignalSpy changes(rig.model.get(), &PlayerModel::currentChanged);
        rig.model->start(true);
        QCoreApplication::processEvents();
        QStringList shown{rig.shown()};
        for (int k = 1; k < 4; ++k) {
            rig.advance(3s - 1ms);
            QCOMPARE(rig.shown(), shown.last());
            rig.advance(1ms);
            shown.append(rig.shown());
        }
        QCOMPARE(shown, sevenColours.first(4));
        QCOMPARE(changes.size(), 4);
        // Each change carries the fader's ease from the moment it happened.
        QCOMPARE(changes.at(3).at(0).value<Transition>(), (Transition{9s, 1600ms}));
        QVERIFY(rig.photos.lastLarge);
    }

    void pausedPlayLoadsNothingButSteps()
    {
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        rig.model->start(true);
        QCoreApplication::processEvents();
        QSignalSpy paused(rig.model.get(), &PlayerModel::pausedChanged);
        rig.model->setPaused(true);
        rig.model->setPaused(true);
        QCOMPARE(paused.size(), 1);

        rig.advance(3s);
        rig.advance(3s);
        QCOMPARE(rig.photos.requests, QStringList{u"red"_s});

        // A step shows one photo at once and play stays paused.
        QCoro::waitFor(rig.model->step(true));
        QCOMPARE(rig.shown(), u"green"_s);
        QVERIFY(rig.model->isPaused());
        rig.advance(3s);
        QCOMPARE(rig.photos.requests, (QStringList{u"red"_s, u"green"_s}));

        // Resumed, the next change comes a full pause after the last wake.
        rig.model->setPaused(false);
        rig.advance(3s);
        QCOMPARE(rig.shown(), u"blue"_s);
        QCoro::waitFor(rig.model->step(false));
        QCOMPARE(rig.shown(), u"green"_s);
    }

    void fiveFailuresInARowGiveNoneThenTheSixthComes()
    {
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        rig.photos.failing = QSet<QString>(sevenColours.begin(), sevenColours.begin() + 5);
        QSignalSpy changes(rig.model.get(), &PlayerModel::currentChanged);
        rig.model->start(true);
        QCoreApplication::processEvents();
        QCOMPARE(rig.photos.requests, sevenColours.first(5));
        QCOMPARE(rig.model->queue().position(), 4);
        QVERIFY(!rig.model->current());
        QCOMPARE(changes.size(), 0);

        rig.advance(3s);
        QCOMPARE(rig.shown(), u"magenta"_s);
    }

    void stepDoesNotSkipAFailedPhoto()
    {
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        rig.photos.failing = {u"green"_s};
        rig.model->start(true);
        QCoreApplication::processEvents();
        QCoro::waitFor(rig.model->step(true));
        QCOMPARE(rig.shown(), u"red"_s);
        QCOMPARE(rig.photos.requests, (QStringList{u"red"_s, u"green"_s}));
    }

    void selfPacedEffectsRunNoClock_data()
    {
        QTest::addColumn<SaverEffect>("effect");
        QTest::newRow("faller") << SaverEffect(SaverEffect::faller);
        QTest::newRow("four-up") << SaverEffect(SaverEffect::fourup);
    }

    void selfPacedEffectsRunNoClock()
    {
        QFETCH(SaverEffect, effect);
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        rig.model->start(true);
        QCoreApplication::processEvents();
        rig.model->setMode(PlayMode::saver(effect));
        rig.advance(30s);
        QCOMPARE(rig.photos.requests, QStringList{u"red"_s});
        QCOMPARE(rig.clock.sleeperCount(), 0);
    }

    void settingTheModeRestartsTheClock_data()
    {
        QTest::addColumn<PlayMode>("mode");
        QTest::addColumn<QVariant>("remembered");
        QTest::newRow("slideshow") << PlayMode::slideshow() << QVariant(false);
        QTest::newRow("stories") << PlayMode::infoshow() << QVariant(true);
        QTest::newRow("fader") << PlayMode::saver(SaverEffect::fader) << QVariant();
    }

    void settingTheModeRestartsTheClock()
    {
        QFETCH(PlayMode, mode);
        QFETCH(QVariant, remembered);

        test::PlayerRig rig(mode, sevenColours);
        rig.model->start(true);
        QCoreApplication::processEvents();
        rig.defaults.remove(keys::galleryInfoShow.name);
        QSignalSpy modes(rig.model.get(), &PlayerModel::modeChanged);

        // The same mode again: nobody hears of it, the setting is written again, the photo stays a
        // full pause from now.
        rig.advance(2s);
        rig.model->setMode(mode);
        QCOMPARE(modes.size(), 0);
        QCOMPARE(rig.defaults.value(keys::galleryInfoShow.name), remembered);
        rig.advance(2s);
        QCOMPARE(rig.shown(), u"red"_s);
        rig.advance(1s);
        QCOMPARE(rig.shown(), u"green"_s);

        // Another mode with a photo on screen keeps it for a full pause too.
        const PlayMode other = mode == PlayMode::infoshow() ? PlayMode::slideshow() : PlayMode::infoshow();
        rig.model->setMode(other);
        QCOMPARE(modes.size(), 1);
        QCOMPARE(rig.defaults.boolValue(keys::galleryInfoShow.name), other == PlayMode::infoshow());
        rig.advance(3s - 1ms);
        QCOMPARE(rig.shown(), u"green"_s);
        rig.advance(1ms);
        QCOMPARE(rig.shown(), u"blue"_s);
    }

    void aDroppedModelEndsItsClock()
    {
        test::PlayerRig rig(PlayMode::slideshow(), sevenColours);
        rig.model->start(true);
        QCoreApplication::processEvents();
        QCOMPARE(rig.clock.sleeperCount(), 1);
        rig.model.reset();
        QCoreApplication::processEvents();
        QCOMPARE(rig.clock.sleeperCount(), 0);
    }
};

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlayerModelTest)
#include "PlayerModelTest.moc"
