#include "platform/IdleSource.h"
#include "player/IdleMonitor.h"
#include "support/state/ModelHarness.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

// The system's answers as the test sets them; the queries are counted.
class ScriptedIdleSource final : public IdleSource
{
public:
    QCoro::Task<double> idleSeconds() override
    {
        ++idleQueries;
        co_return idle;
    }
    QCoro::Task<bool> isScreenLocked() override
    {
        ++lockQueries;
        co_return locked;
    }
    QCoro::Task<bool> isDisplaySleepBlocked() override
    {
        ++blockQueries;
        co_return blocked;
    }

    double idle = 0;
    bool locked = false;
    bool blocked = false;
    int idleQueries = 0;
    int lockQueries = 0;
    int blockQueries = 0;
};

// A signed-in sandbox model, its player's recording and a monitor over them.
struct Rig
{
    Rig() : model(h.launchSignedIn())
    {
        h.journal.clear();
    }

    void setIdleSetting(std::optional<QString> setting)
    {
        User user = *model.account().user();
        user.saverIdle = std::move(setting);
        model.setUser(user);
    }

    int saverStarts() const
    {
        int starts = 0;
        for (const QString& call : h.journal.calls())
            starts += call.startsWith(u"player.startSaver("_s) ? 1 : 0;
        return starts;
    }

    // A start fetches the saver's photos from the sandbox first.
    bool startsSaver(bool expected)
    {
        if (expected)
            return QTest::qWaitFor([this] { return saverStarts() == 1; });
        return h.settle() && saverStarts() == 0;
    }

    test::ModelHarness h;
    AppModel& model;
    ScriptedIdleSource system;
    IdleMonitor monitor{model.account(), h.player, system, h.clock,
                        [this] { return h.saver().startSaverNow(std::nullopt); }};
};

} // namespace

/// The idle monitor on a manual clock over a sandbox model, with the system's answers scripted
/// (the real ones come from the X server and the session's bus, tested with X11IdleSource).
class IdleMonitorTest final : public QObject
{
    Q_OBJECT

private slots:
    void threshold_data();
    void threshold();
    void checksInOrder_data();
    void checksInOrder();
    void pollsInOneLoop();
    void anInhibitorHoldsTheSaverUntilItsNextPoll();
};

void IdleMonitorTest::threshold_data()
{
    QTest::addColumn<std::optional<QString>>("setting");
    QTest::addColumn<double>("idle");
    QTest::addColumn<bool>("starts");

    QTest::newRow("never") << std::optional<QString>(u"never"_s) << 1e6 << false;
    QTest::newRow("absent, short of 5 minutes") << std::optional<QString>() << 299.9 << false;
    QTest::newRow("absent, 5 minutes") << std::optional<QString>() << 300.0 << true;
    QTest::newRow("unknown, 5 minutes") << std::optional<QString>(u"soon"_s) << 300.0 << true;
    QTest::newRow("1 minute, 59 s") << std::optional<QString>(u"1minute"_s) << 59.0 << false;
    QTest::newRow("1 minute, 60 s") << std::optional<QString>(u"1minute"_s) << 60.0 << true;
}

void IdleMonitorTest::threshold()
{
    QFETCH(std::optional<QString>, setting);
    QFETCH(double, idle);
    QFETCH(bool, starts);

    Rig rig;
    rig.setIdleSetting(setting);
    rig.system.idle = idle;
    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval - 1ms));
    QCOMPARE(rig.system.idleQueries, 0);
    QVERIFY(rig.h.advance(1ms));
    QVERIFY(rig.startsSaver(starts));
    QCOMPARE(rig.h.player.isShowing(), starts);
}

void IdleMonitorTest::checksInOrder_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QList<int>>("queries"); // idle, locked, blocked
    QTest::addColumn<bool>("starts");

    QTest::newRow("all clear") << u""_s << QList<int>{1, 1, 1} << true;
    QTest::newRow("signed out") << u"signed out"_s << QList<int>{0, 0, 0} << false;
    QTest::newRow("showing") << u"showing"_s << QList<int>{0, 0, 0} << false;
    QTest::newRow("busy") << u"busy"_s << QList<int>{1, 0, 0} << false;
    QTest::newRow("locked") << u"locked"_s << QList<int>{1, 1, 0} << false;
    QTest::newRow("blocked") << u"blocked"_s << QList<int>{1, 1, 1} << false;
}

void IdleMonitorTest::checksInOrder()
{
    QFETCH(QString, state);
    QFETCH(QList<int>, queries);
    QFETCH(bool, starts);

    Rig rig;
    rig.setIdleSetting(u"1minute"_s);
    rig.system.idle = state == u"busy"_s ? 10 : 3600;
    rig.system.locked = state == u"locked"_s;
    rig.system.blocked = state == u"blocked"_s;
    rig.h.player.showing = state == u"showing"_s;
    if (state == u"signed out"_s)
        rig.model.signOut();

    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval));
    QCOMPARE((QList<int>{rig.system.idleQueries, rig.system.lockQueries, rig.system.blockQueries}), queries);
    QVERIFY(rig.startsSaver(starts));
}

void IdleMonitorTest::pollsInOneLoop()
{
    Rig rig;
    rig.system.idle = 0; // never idle enough: every poll asks once

    rig.monitor.start();
    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval));
    QCOMPARE(rig.system.idleQueries, 1);
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval));
    QCOMPARE(rig.system.idleQueries, 2);

    rig.monitor.stop();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval * 3));
    QCOMPARE(rig.system.idleQueries, 2);

    // A new loop counts its 10 s afresh.
    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval - 1s));
    QCOMPARE(rig.system.idleQueries, 2);
    QVERIFY(rig.h.advance(1s));
    QCOMPARE(rig.system.idleQueries, 3);
}

void IdleMonitorTest::anInhibitorHoldsTheSaverUntilItsNextPoll()
{
    Rig rig;
    rig.setIdleSetting(u"1minute"_s);
    rig.system.idle = 3600;
    rig.system.blocked = true; // a film plays
    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval * 6));
    QVERIFY(rig.system.blockQueries >= 1);
    QVERIFY(rig.startsSaver(false));

    // The film ends: the saver comes at the next poll, the user still being away.
    rig.system.blocked = false;
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval));
    QVERIFY(rig.startsSaver(true));
}

} // namespace lumi

QTEST_MAIN(lumi::IdleMonitorTest)
#include "IdleMonitorTest.moc"
