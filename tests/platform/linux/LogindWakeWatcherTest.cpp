#include "platform/linux/LogindWakeWatcher.h"
#include "support/ManualClock.h"
#include "support/PrivateSessionBus.h"

#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

void announce(QDBusConnection& logind, bool start)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        u"/org/freedesktop/login1"_s, u"org.freedesktop.login1.Manager"_s, u"PrepareForSleep"_s);
    signal << start;
    QVERIFY(logind.send(signal));
}

} // namespace

/// Waking from sleep as logind announces it, and as the clocks show it when logind is not there.
class LogindWakeWatcherTest final : public QObject
{
    Q_OBJECT

private slots:
    void noticesASleepByTheClocks();
    void hearsLogindOnce();
};

void LogindWakeWatcherTest::noticesASleepByTheClocks()
{
    test::ManualClock clock;
    clock.suspend(3600s);
    LogindWakeWatcher watcher(clock,
                              QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"none"_s));
    QVERIFY(!watcher.listensToLogind());
    QSignalSpy woke(&watcher, &WakeWatcher::woke);

    // Sleep before the watcher existed, and awake time, are not a wake.
    clock.advance(600s);
    watcher.check();
    QCOMPARE(woke.size(), 0);
    // Nor is a hiccup of a few seconds.
    clock.suspend(4s);
    watcher.check();
    QCOMPARE(woke.size(), 0);

    clock.suspend(90s);
    watcher.check();
    QCOMPARE(woke.size(), 1);
    watcher.check();
    QCOMPARE(woke.size(), 1);
}

void LogindWakeWatcherTest::hearsLogindOnce()
{
    test::PrivateSessionBus bus;
    QVERIFY2(bus.error().isEmpty(), qPrintable(bus.error()));
    QDBusConnection logind = bus.connect(u"logind"_s);
    QVERIFY(logind.registerService(u"org.freedesktop.login1"_s));
    test::ManualClock clock;
    LogindWakeWatcher watcher(clock, bus.connect(u"app"_s));
    QVERIFY(watcher.listensToLogind());
    QSignalSpy woke(&watcher, &WakeWatcher::woke);

    announce(logind, true);
    clock.suspend(3600s);
    announce(logind, false);
    QVERIFY(woke.wait());
    QCOMPARE(woke.size(), 1);

    // The clocks show the same sleep; it is not reported again.
    watcher.check();
    QCOMPARE(woke.size(), 1);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::LogindWakeWatcherTest)
#include "LogindWakeWatcherTest.moc"
