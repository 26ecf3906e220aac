#include "platform/linux/LocalSocketSingleInstance.h"
#include "support/state/RunTask.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::LocalSocketSingleInstance;
using lumi::test::runTask;

class LocalSocketSingleInstanceTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void onlyTheFirstCopyRuns();
    void laterCopyAsksTheFirstForItsWindow();
    void copyThatDiedLeavesNothingInTheWay();
    void silentRunningCopyLetsTheNewOneGo();

private:
    std::optional<bool> handOver(LocalSocketSingleInstance& copy);

    std::unique_ptr<QTemporaryDir> m_folder;
};

void LocalSocketSingleInstanceTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
}

std::optional<bool> LocalSocketSingleInstanceTest::handOver(LocalSocketSingleInstance& copy)
{
    std::optional<bool> confirmed;
    if (runTask(copy.handOver(), confirmed))
        return std::nullopt;
    return confirmed;
}

void LocalSocketSingleInstanceTest::onlyTheFirstCopyRuns()
{
    LocalSocketSingleInstance first(m_folder->path());
    LocalSocketSingleInstance second(m_folder->path());
    QVERIFY(first.claim());
    QVERIFY(!second.claim());
    QVERIFY(!LocalSocketSingleInstance(m_folder->path()).claim());
}

void LocalSocketSingleInstanceTest::laterCopyAsksTheFirstForItsWindow()
{
    auto first = std::make_unique<LocalSocketSingleInstance>(m_folder->path());
    QVERIFY(first->claim());
    QSignalSpy asked(first.get(), &LocalSocketSingleInstance::activationRequested);

    LocalSocketSingleInstance second(m_folder->path());
    QVERIFY(!second.claim());
    QCOMPARE(handOver(second), std::optional<bool>(true));
    QCOMPARE(asked.count(), 1);

    // Once the first has ended, the next copy is the running one.
    first.reset();
    LocalSocketSingleInstance third(m_folder->path());
    QVERIFY(third.claim());
}

void LocalSocketSingleInstanceTest::copyThatDiedLeavesNothingInTheWay()
{
    // A copy that crashed leaves its lock (naming a process that is gone) and its socket file.
    QProcess gone;
    gone.start(u"true"_s);
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    LocalSocketSingleInstance probe(m_folder->path());
    QFile lock(m_folder->path() + u"/lumivale-desktop.lock"_s);
    QVERIFY(lock.open(QIODevice::WriteOnly));
    // QLockFile's own format: pid, program, host, machine id, boot id.
    lock.write(QByteArray::number(deadPid) + "\nlumivale\n" + QSysInfo::machineHostName().toUtf8() + '\n' +
               QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n');
    lock.close();
    QFile socket(probe.socketPath());
    QVERIFY(socket.open(QIODevice::WriteOnly));
    socket.close();

    LocalSocketSingleInstance next(m_folder->path());
    QVERIFY(next.claim());
    QSignalSpy asked(&next, &LocalSocketSingleInstance::activationRequested);
    LocalSocketSingleInstance later(m_folder->path());
    QVERIFY(!later.claim());
    QCOMPARE(handOver(later), std::optional<bool>(true));
    QCOMPARE(asked.count(), 1);
}

void LocalSocketSingleInstanceTest::silentRunningCopyLetsTheNewOneGo()
{
    // Holds the lock but never listens, like a copy that hangs.
    QLockFile held(m_folder->path() + u"/lumivale-desktop.lock"_s);
    QVERIFY(held.tryLock(0));
    LocalSocketSingleInstance later(m_folder->path());
    QVERIFY(!later.claim());
    QCOMPARE(handOver(later), std::optional<bool>(false));
}

QTEST_MAIN(LocalSocketSingleInstanceTest)
#include "LocalSocketSingleInstanceTest.moc"
