#include "platform/Paths.h"
#include "support/SandboxFixture.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <array>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int launchTimeoutMs = 30'000;
constexpr int rounds = 6;

} // namespace

/// Two copies of the built app started at the same moment, in a temporary home against the
/// sandbox: the lock decides, so exactly one runs and the other hands over and ends. A copy
/// killed outright leaves nothing that stops the next start.
class StartRaceTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void exactlyOneOfTwoCopiesRuns();

private:
    static QString log();

    std::unique_ptr<lumi::test::SandboxFixture> m_sandbox;
    std::array<QProcess, 2> m_copies;
};

QString StartRaceTest::log()
{
    QFile file(lumi::Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void StartRaceTest::initTestCase()
{
    m_sandbox = std::make_unique<lumi::test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void StartRaceTest::cleanupTestCase()
{
    for (QProcess& copy : m_copies) {
        if (copy.state() != QProcess::NotRunning) {
            copy.kill();
            copy.waitForFinished();
        }
    }
    m_sandbox.reset();
}

void StartRaceTest::exactlyOneOfTwoCopiesRuns()
{
    for (int round = 1; round <= rounds; ++round) {
        for (QProcess& copy : m_copies)
            copy.start(QStringLiteral(LUMIVALE_EXE), {});
        for (QProcess& copy : m_copies)
            QVERIFY(copy.waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(m_copies[0].state() == QProcess::NotRunning ||
                                     m_copies[1].state() == QProcess::NotRunning,
                                 launchTimeoutMs);
        const int ended = m_copies[0].state() == QProcess::NotRunning ? 0 : 1;
        QProcess& loser = m_copies[ended];
        QProcess& winner = m_copies[1 - ended];
        QCOMPARE(loser.exitStatus(), QProcess::NormalExit);
        QCOMPARE(loser.exitCode(), 0);
        // One hand-over line per round. (It names the lock's holder as read, which in a start
        // right after a kill can still be the killed copy.)
        QCOMPARE(log().count(u"[takeover] another copy is running (pid "_s), round);
        QTRY_COMPARE_WITH_TIMEOUT(log().count(u"[app] launch: signed out"_s), round, launchTimeoutMs);
        QCOMPARE(winner.state(), QProcess::Running);
        // Even when it asked before the winner listened, the loser reached it.
        QCOMPARE(log().count(u"[app] a second copy asked for the main window"_s), round);

        // Killed without a chance to clean up; the next round must start regardless.
        winner.kill();
        QVERIFY(winner.waitForFinished(launchTimeoutMs));
    }
}

QTEST_GUILESS_MAIN(StartRaceTest)
#include "StartRaceTest.moc"
