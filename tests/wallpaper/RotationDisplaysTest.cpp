#include "support/AccountEdits.h"
#include "support/wallpaper/RotationRig.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

QStringList namesOf(const QList<test::RecordingApplier::Call>& calls)
{
    QStringList names;
    for (const test::RecordingApplier::Call& call : calls)
        names.append(call.display.name);
    return names;
}

} // namespace

/// What a change of the connected displays sets off: a sync for larger photos when needed, and a
/// change that composes every display at its new size.
class RotationDisplaysTest final : public QObject
{
    Q_OBJECT

private slots:
    void asksForLargerPhotos_data();
    void asksForLargerPhotos();
    void aBurstIsOneChange();
    void aChangeUnderWayIsFollowedByAnother();
    void noChangeBeforeTheFirstOne();
};

void RotationDisplaysTest::asksForLargerPhotos_data()
{
    QTest::addColumn<std::optional<MediaFormat>>("stored");
    QTest::addColumn<MediaFormat>("target");
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<QStringList>("requests");

    const MediaFormat qhd = MediaFormat::bestFit(2560, 1440);
    const MediaFormat uhd = MediaFormat::bestFit(3840, 2160);
    const QStringList fiveSeconds{u"5000 ms"_s};
    QTest::newRow("nothing stored") << std::optional<MediaFormat>() << qhd << true << fiveSeconds;
    QTest::newRow("a larger display") << std::optional(qhd) << uhd << true << fiveSeconds;
    QTest::newRow("a larger display, nobody signed in") << std::optional(qhd) << uhd << false << fiveSeconds;
    QTest::newRow("the same size") << std::optional(qhd) << qhd << true << QStringList();
    QTest::newRow("a smaller display") << std::optional(uhd) << qhd << true << QStringList();
}

void RotationDisplaysTest::asksForLargerPhotos()
{
    QFETCH(std::optional<MediaFormat>, stored);
    QFETCH(MediaFormat, target);
    QFETCH(bool, signedIn);
    QFETCH(QStringList, requests);

    test::RotationRig rig;
    rig.account.setHasSessionToken(signedIn);
    rig.library.stored = stored;
    rig.library.target = target;
    rig.engine().start();
    QVERIFY(rig.settle());

    rig.screens.setDisplays(test::RotationRig::displays(2));
    QVERIFY(rig.settle());
    QCOMPARE(rig.library.syncRequests, requests);
}

void RotationDisplaysTest::aBurstIsOneChange()
{
    test::RotationRig rig;
    rig.library.stored.reset();
    rig.engine().start();
    QVERIFY(rig.settle());
    rig.applier().clear();

    const QList<DisplayInfo> displays = test::RotationRig::displays(3);
    rig.screens.setDisplays(displays.first(1));
    rig.screens.setDisplays(displays);
    rig.screens.setDisplays(displays.first(2));
    QVERIFY(rig.settle());
    QCOMPARE(namesOf(rig.applier().calls()), (QStringList{u"D1"_s, u"D2"_s}));
    QCOMPARE(rig.library.syncRequests.size(), 1);

    // Once stopped, display changes are not followed.
    rig.engine().stop();
    rig.screens.setDisplays(displays);
    QVERIFY(rig.settle());
    QCOMPARE(rig.applier().calls().size(), 2);
    QCOMPARE(rig.library.syncRequests.size(), 1);
}

void RotationDisplaysTest::aChangeUnderWayIsFollowedByAnother()
{
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    engine.start();
    QVERIFY(rig.settle());
    rig.applier().clear();

    // A timed change is setting the old display when a second one is plugged in.
    rig.applier().hold();
    rig.clock.setNow(rig.clock.now().addSecs(3600));
    rig.clock.advance(30s);
    QVERIFY(QTest::qWaitFor([&] { return engine.isChanging(); }));
    rig.screens.setDisplays(test::RotationRig::displays(2));
    QCoreApplication::processEvents();
    QCOMPARE(namesOf(rig.applier().calls()), QStringList{u"D1"_s});

    rig.applier().release();
    QVERIFY(rig.settle());
    QCOMPARE(namesOf(rig.applier().calls()), (QStringList{u"D1"_s, u"D1"_s, u"D2"_s}));
    QCOMPARE(engine.showing().size(), 2);
}

void RotationDisplaysTest::noChangeBeforeTheFirstOne()
{
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) {
        user.rotateDesktop = u"never"_s;
        user.calendarSize.reset();
        user.lumivaleTitleSize.reset();
    });
    rig.engine().start();
    QVERIFY(rig.settle());

    rig.screens.setDisplays(test::RotationRig::displays(2));
    QVERIFY(rig.settle());
    QVERIFY(rig.applier().calls().isEmpty());
    QVERIFY(!rig.engine().record().lastChange());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationDisplaysTest)
#include "RotationDisplaysTest.moc"
