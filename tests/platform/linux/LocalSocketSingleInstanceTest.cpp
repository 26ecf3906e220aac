#include "platform/linux/LocalSocketSingleInstance.h"
#include "platform/Paths.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/state/RunTask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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
    void onlyAPrivateFallbackFolderIsUsed_data();
    void onlyAPrivateFallbackFolderIsUsed();

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

void LocalSocketSingleInstanceTest::onlyAPrivateFallbackFolderIsUsed_data()
{
    QTest::addColumn<QString>("folder"); // what lies where the fallback folder goes
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("used");

    QTest::newRow("none yet: made private") << u"none"_s << 0 << true;
    QTest::newRow("this user's, 700") << u"folder"_s << 0700 << true;
    QTest::newRow("readable by others, 755") << u"folder"_s << 0755 << false;
    QTest::newRow("writable by the group, 770") << u"folder"_s << 0770 << false;
    QTest::newRow("writable by all, 1777") << u"folder"_s << 01777 << false;
    QTest::newRow("another user's, 700") << u"other user"_s << 0700 << false;
    QTest::newRow("a link to a private folder") << u"link"_s << 0700 << false;
}

void LocalSocketSingleInstanceTest::onlyAPrivateFallbackFolderIsUsed()
{
    QFETCH(QString, folder);
    QFETCH(int, mode);
    QFETCH(bool, used);

    if (folder == u"other user"_s && ::getuid() != 0)
        QSKIP("Only root can make a folder another user's here.");
    // No runtime folder: the fallback lies in the temporary folder, which every user shares.
    const std::optional<QByteArray> runtime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")
                                                  ? std::optional(qgetenv("XDG_RUNTIME_DIR"))
                                                  : std::nullopt;
    const QByteArray temp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(m_folder->path()));
    const auto restore = qScopeGuard([&] {
        if (runtime)
            qputenv("XDG_RUNTIME_DIR", *runtime);
        qputenv("TMPDIR", temp);
    });
    const QString fallback = lumi::Paths::runtimeDir();
    QVERIFY(fallback.startsWith(m_folder->path() + u'/'));

    // Someone else's copy seems to run: its lock lies in the folder.
    std::optional<QLockFile> planted;
    if (folder != u"none"_s) {
        const QString made = folder == u"link"_s ? m_folder->path() + u"/private"_s : fallback;
        QVERIFY(QDir().mkdir(made));
        QCOMPARE(::chmod(QFile::encodeName(made).constData(), mode_t(mode)), 0);
        if (folder == u"link"_s)
            QVERIFY(QFile::link(made, fallback));
        planted.emplace(fallback + u"/lumivale-desktop.lock"_s);
        QVERIFY(planted->tryLock(0));
        if (folder == u"other user"_s)
            QCOMPARE(::chown(QFile::encodeName(made).constData(), 65534, 65534), 0);
    }

    const std::unique_ptr<lumi::SingleInstance> copy = lumi::LinuxPlatform::singleInstance();
    QCOMPARE(copy->claim(), !planted || !used);
    if (folder == u"none"_s) {
        QCOMPARE(QFileInfo(fallback).permissions(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                        QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
        QVERIFY(!lumi::LinuxPlatform::singleInstance()->claim());
    }
}

QTEST_MAIN(LocalSocketSingleInstanceTest)
#include "LocalSocketSingleInstanceTest.moc"
