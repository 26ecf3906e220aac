#include "player/IdleMonitor.h"
#include "model/Clock.h"
#include "platform/IdleSource.h"
#include "support/state/ModelHarness.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

// The system's answers as the test sets them; the queries are counted. With a clock, the idle
// time grows with it from the last input.
class ScriptedIdleSource final : public IdleSource
{
public:
    QCoro::Task<double> idleSeconds() override
    {
        ++idleQueries;
        co_return clock ? double((clock->monotonic() - lastInput).count()) / 1000.0 : idle;
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
    const Clock* clock = nullptr;
    std::chrono::milliseconds lastInput{0};
    bool locked = false;
    bool blocked = false;
    int idleQueries = 0;
    int lockQueries = 0;
    int blockQueries = 0;
};

// A signed-in sandbox model, its player's recording and a monitor over them.
struct Rig
{
    Rig() : model(h.launchSignedIn()) { h.journal.clear(); }

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

    // The user's input as the X server would count it, from now on.
    void touchInputAt(std::chrono::milliseconds at)
    {
        system.clock = &h.clock;
        system.lastInput = at;
    }

    // Moves the clock in steps of at most a second, so every check runs at its own time.
    bool advanceTo(std::chrono::milliseconds at)
    {
        while (h.clock.monotonic() < at) {
            if (!h.advance(std::min<std::chrono::milliseconds>(1s, at - h.clock.monotonic())))
                return false;
        }
        return true;
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
    void waitsForTheThreshold_data();
    void waitsForTheThreshold();
    void aNewThresholdEndsTheWait_data();
    void aNewThresholdEndsTheWait();
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

void IdleMonitorTest::waitsForTheThreshold_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QList<double>>("inputs"); // seconds after the start; the first may lie before
    QTest::addColumn<double>("startsAt");
    QTest::addColumn<int>("queries");

    // The first check comes 10 s after the start.
    QTest::newRow("away from the start: at the threshold") << u"1minute"_s << QList<double>{0} << 60.0 << 2;
    QTest::newRow("5 minutes") << u"5minutes"_s << QList<double>{0} << 300.0 << 2;
    QTest::newRow("input during the wait postpones") << u"1minute"_s << QList<double>{0, 30} << 90.0 << 3;
    QTest::newRow("input just before the check") << u"1minute"_s << QList<double>{0, 59} << 119.0 << 3;
    QTest::newRow("inputs in every wait") << u"1minute"_s << QList<double>{0, 30, 70, 100} << 160.0 << 5;
    QTest::newRow("away since before the start") << u"1minute"_s << QList<double>{-100} << 10.0 << 1;
    QTest::newRow("0.3 s short: the shortest wait") << u"1minute"_s << QList<double>{-49.7} << 11.0 << 2;
}

void IdleMonitorTest::waitsForTheThreshold()
{
    QFETCH(QString, setting);
    QFETCH(QList<double>, inputs);
    QFETCH(double, startsAt);
    QFETCH(int, queries);

    Rig rig;
    rig.setIdleSetting(setting);
    const std::chrono::milliseconds start = rig.h.clock.monotonic();
    const auto at = [&](double seconds) { return start + std::chrono::milliseconds(qint64(seconds * 1000)); };
    rig.touchInputAt(at(inputs.first()));
    rig.monitor.start();
    for (double input : inputs.mid(1)) {
        QVERIFY(rig.advanceTo(at(input)));
        rig.touchInputAt(at(input));
    }
    QVERIFY(rig.advanceTo(at(startsAt) - 1ms));
    QCOMPARE(rig.saverStarts(), 0);
    QVERIFY(rig.h.advance(1ms));
    QVERIFY(rig.startsSaver(true));
    QCOMPARE(rig.system.idleQueries, queries);
}

void IdleMonitorTest::aNewThresholdEndsTheWait_data()
{
    QTest::addColumn<std::optional<QString>>("before");
    QTest::addColumn<std::optional<QString>>("after");
    QTest::addColumn<bool>("checks");
    QTest::addColumn<bool>("starts");

    const auto setting = [](const char* text) { return std::optional<QString>(QString::fromLatin1(text)); };
    QTest::newRow("shorter, already reached") << setting("5minutes") << setting("1minute") << true << true;
    QTest::newRow("longer") << setting("2minutes") << setting("10minutes") << true << false;
    QTest::newRow("from never") << setting("never") << setting("1minute") << true << true;
    QTest::newRow("the same under another name")
        << setting("5minutes") << std::optional<QString>() << false << false;
}

void IdleMonitorTest::aNewThresholdEndsTheWait()
{
    QFETCH(std::optional<QString>, before);
    QFETCH(std::optional<QString>, after);
    QFETCH(bool, checks);
    QFETCH(bool, starts);

    Rig rig;
    rig.setIdleSetting(before);
    rig.touchInputAt(rig.h.clock.monotonic());
    rig.monitor.start();
    // 70 s away: the first check waits for the rest of the threshold, or has none to wait for.
    QVERIFY(rig.advanceTo(rig.h.clock.monotonic() + 70s));
    const int queries = rig.system.idleQueries;

    // The setting came from another computer; the clock stands still.
    rig.setIdleSetting(after);
    if (checks)
        QVERIFY(QTest::qWaitFor([&] { return rig.system.idleQueries > queries; }));
    QVERIFY(rig.startsSaver(starts));
    QCOMPARE(rig.system.idleQueries, queries + (checks ? 1 : 0));
}

void IdleMonitorTest::pollsInOneLoop()
{
    Rig rig;
    rig.system.idle = 0; // never idle: each check asks once, then waits for the whole threshold

    rig.monitor.start();
    rig.monitor.start();
    QVERIFY(rig.h.advance(IdleMonitor::pollInterval));
    QCOMPARE(rig.system.idleQueries, 1);
    QVERIFY(rig.h.advance(300s));
    QCOMPARE(rig.system.idleQueries, 2);

    rig.monitor.stop();
    QVERIFY(rig.h.advance(300s * 3));
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
