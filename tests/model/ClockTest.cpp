#include "platform/linux/SystemClock.h"
#include "support/ManualClock.h"

#include <QCoroTask>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace std::chrono_literals;

namespace lumi {

namespace {

enum class Cancel { Never, Before, During };

// A sleep in flight: the outcome arrives through then(), so a sleeper that never wakes fails the
// test instead of hanging it.
struct PendingSleep
{
    bool done = false;
    bool elapsed = false;
    QCoro::Task<void> task;
};

std::unique_ptr<PendingSleep> start(QCoro::Task<bool> sleep)
{
    auto pending = std::make_unique<PendingSleep>();
    pending->task = sleep.then([state = pending.get()](bool elapsed) {
        state->done = true;
        state->elapsed = elapsed;
    });
    return pending;
}

void deliverQueuedWakeUps()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

} // namespace lumi

Q_DECLARE_METATYPE(lumi::Cancel)

namespace lumi {

class ClockTest final : public QObject
{
    Q_OBJECT

private slots:
    void systemClockSleep_data();
    void systemClockSleep();
    void manualClockWakesAtTheDeadline_data();
    void manualClockWakesAtTheDeadline();
    void manualClockCancel();
    void manualClockWallTime();
};

void ClockTest::systemClockSleep_data()
{
    QTest::addColumn<bool>("acrossSuspend");
    QTest::addColumn<qint64>("delayMs");
    QTest::addColumn<Cancel>("cancel");
    QTest::addColumn<bool>("elapsed");

    QTest::newRow("sleep runs out") << false << qint64(20) << Cancel::Never << true;
    QTest::newRow("sleep cancelled mid-way") << false << qint64(3600000) << Cancel::During << false;
    QTest::newRow("sleep already cancelled") << false << qint64(0) << Cancel::Before << false;
    QTest::newRow("across suspend runs out") << true << qint64(20) << Cancel::Never << true;
    QTest::newRow("across suspend cancelled mid-way") << true << qint64(3600000) << Cancel::During << false;
    QTest::newRow("across suspend already cancelled") << true << qint64(0) << Cancel::Before << false;
    QTest::newRow("across suspend, nothing left") << true << qint64(0) << Cancel::Never << true;
    QTest::newRow("across suspend, over a second") << true << qint64(1100) << Cancel::Never << true;
}

void ClockTest::systemClockSleep()
{
    QFETCH(bool, acrossSuspend);
    QFETCH(qint64, delayMs);
    const std::chrono::milliseconds delay(delayMs);
    QFETCH(Cancel, cancel);
    QFETCH(bool, elapsed);
    SystemClock clock;
    CancelToken token;
    if (cancel == Cancel::Before)
        token.cancel();
    if (cancel == Cancel::During)
        QTimer::singleShot(20ms, [token] { token.cancel(); });

    const std::chrono::milliseconds before = clock.bootTime();
    const auto pending =
        start(acrossSuspend ? clock.sleepAcrossSuspend(delay, token) : clock.sleep(delay, token));
    QVERIFY(QTest::qWaitFor([&] { return pending->done; }));
    QCOMPARE(pending->elapsed, elapsed);
    // The boot-time timer is never early (a coarse QTimer may be, by design).
    if (elapsed && acrossSuspend)
        QVERIFY(clock.bootTime() - before >= delay);
}

void ClockTest::manualClockWakesAtTheDeadline_data()
{
    QTest::addColumn<bool>("acrossSuspend");
    QTest::addColumn<qint64>("advanceMs");
    QTest::addColumn<qint64>("suspendMs");
    QTest::addColumn<bool>("wakes");

    const qint64 none = 0;
    QTest::newRow("sleep, 1 ms short") << false << qint64(999) << none << false;
    QTest::newRow("sleep, at the deadline") << false << qint64(1000) << none << true;
    QTest::newRow("sleep, suspend does not count") << false << qint64(1) << qint64(3600000) << false;
    QTest::newRow("across suspend, suspend counts") << true << none << qint64(1000) << true;
    QTest::newRow("across suspend, partly suspended") << true << qint64(400) << qint64(600) << true;
    QTest::newRow("across suspend, 1 ms short") << true << qint64(400) << qint64(599) << false;
}

void ClockTest::manualClockWakesAtTheDeadline()
{
    QFETCH(bool, acrossSuspend);
    QFETCH(qint64, advanceMs);
    QFETCH(qint64, suspendMs);
    QFETCH(bool, wakes);
    test::ManualClock clock;
    CancelToken token;
    const auto pending =
        start(acrossSuspend ? clock.sleepAcrossSuspend(1000ms, token) : clock.sleep(1000ms, token));
    deliverQueuedWakeUps();
    QVERIFY(!pending->done);
    QCOMPARE(clock.sleeperCount(), 1);

    clock.advance(std::chrono::milliseconds(advanceMs));
    clock.suspend(std::chrono::milliseconds(suspendMs));
    deliverQueuedWakeUps();

    QCOMPARE(pending->done, wakes);
    if (wakes) {
        QVERIFY(pending->elapsed);
        QCOMPARE(clock.sleeperCount(), 0);
    } else {
        token.cancel();
        QVERIFY(QTest::qWaitFor([&] { return pending->done; }));
        QVERIFY(!pending->elapsed);
    }
}

void ClockTest::manualClockCancel()
{
    test::ManualClock clock;
    CancelToken first;
    CancelToken second;
    const auto cancelled = start(clock.sleep(1000ms, first));
    const auto other = start(clock.sleep(2000ms, second));
    first.cancel();
    QVERIFY(QTest::qWaitFor([&] { return cancelled->done; }));
    QVERIFY(!cancelled->elapsed);
    QCOMPARE(clock.sleeperCount(), 1);

    // Two advances before the wake-up is delivered still resume the sleeper once.
    clock.advance(2000ms);
    clock.advance(1ms);
    QVERIFY(QTest::qWaitFor([&] { return other->done; }));
    QVERIFY(other->elapsed);
    QCOMPARE(clock.sleeperCount(), 0);

    const auto afterCancel = start(clock.sleep(0ms, first));
    QVERIFY(QTest::qWaitFor([&] { return afterCancel->done; }));
    QVERIFY(!afterCancel->elapsed);
}

void ClockTest::manualClockWallTime()
{
    const QDateTime start(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC);
    test::ManualClock clock(start);
    clock.advance(1500ms);
    clock.suspend(1h);
    QCOMPARE(clock.now(), start.addMSecs(1500).addSecs(3600));
    QCOMPARE(clock.monotonic().count(), 1500);
    QCOMPARE(clock.bootTime().count(), 1500 + 3600 * 1000);

    // The user sets the clock back a day: only wall time moves.
    clock.setNow(start.addDays(-1));
    QCOMPARE(clock.now(), start.addDays(-1));
    QCOMPARE(clock.monotonic().count(), 1500);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::ClockTest)
#include "ClockTest.moc"
