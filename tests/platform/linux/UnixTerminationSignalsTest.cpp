#include "platform/linux/UnixTerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

using lumi::UnixTerminationSignals;

class UnixTerminationSignalsTest final : public QObject
{
    Q_OBJECT

private slots:
    void signalsBecomeRequests_data();
    void signalsBecomeRequests();
    void onlyOneHandlerAtATime();
};

void UnixTerminationSignalsTest::signalsBecomeRequests_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void UnixTerminationSignalsTest::signalsBecomeRequests()
{
    QFETCH(int, signal);
    const UnixTerminationSignals handler;
    QVERIFY(handler.isInstalled());
    QSignalSpy requested(&handler, &UnixTerminationSignals::requested);
    // Two in a row are one request or two, never a lost one.
    QCOMPARE(::raise(signal), 0);
    QCOMPARE(::raise(signal), 0);
    QVERIFY(requested.wait());
    QVERIFY(requested.count() >= 1);
}

void UnixTerminationSignalsTest::onlyOneHandlerAtATime()
{
    {
        const UnixTerminationSignals first;
        const UnixTerminationSignals second;
        QVERIFY(first.isInstalled());
        QVERIFY(!second.isInstalled());
    }
    // The first one gone, a new one can take over.
    const UnixTerminationSignals again;
    QVERIFY(again.isInstalled());
}

QTEST_GUILESS_MAIN(UnixTerminationSignalsTest)
#include "UnixTerminationSignalsTest.moc"
