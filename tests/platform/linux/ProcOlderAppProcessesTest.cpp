#include "platform/linux/ProcOlderAppProcesses.h"
#include "support/services/OlderAppBuilds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <list>
#include <memory>
#include <unistd.h>

using namespace Qt::StringLiterals;
using lumi::ProcOlderAppProcesses;
using lumi::test::OlderAppBuilds;

namespace {

constexpr uid_t nobody = 65534;

// A made-up mount table line of the AppImage runtime's FUSE mount at the given point.
QByteArray fuseMount(const QByteArray& point)
{
    return "25 1 0:22 / /proc rw - proc proc rw\n"
           "61 25 0:51 / " +
           point + " ro,nosuid,nodev - fuse.Lumivale.AppImage Lumivale.AppImage ro\n";
}

} // namespace

/// Which processes count as a running copy of the older app: real processes started from copies,
/// look-alikes and inheritors of a copy's environment, in a temporary folder.
class ProcOlderAppProcessesTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void findsOnlyTheCopiesOwnPrograms_data();
    void findsOnlyTheCopiesOwnPrograms();
    void appImageAppsCountInsideTheirOwnMount_data();
    void appImageAppsCountInsideTheirOwnMount();
    void aReusedIdIsNeverSignalled();

private:
    QString path(const QString& relative) const { return m_folder->path() + u'/' + relative; }
    /// Starts a process that stays until the test ends; waits until it runs its program.
    QProcess& start(const QString& program, const QStringList& arguments,
                    const QProcessEnvironment& environment, bool asNobody = false);
    /// Starts a process that gets the given id, as the system may give an id again once its
    /// process has ended; false when the id can't be steered here.
    bool startWithId(QProcess& process, qint64 pid);

    std::unique_ptr<QTemporaryDir> m_folder;
    QStringList m_copies;
    QString m_folderProgram;
    std::list<QProcess> m_processes;
};

void ProcOlderAppProcessesTest::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    // Open to everyone, so another user can run a program from it too.
    QVERIFY(QFile::setPermissions(m_folder->path(), QFile::permissions(m_folder->path()) | QFile::ExeOther |
                                                        QFile::ReadOther | QFile::ExeGroup |
                                                        QFile::ReadGroup));
    m_folderProgram = OlderAppBuilds::makeFolder(path(u"Downloads/Lumivale"_s));
    QVERIFY(!m_folderProgram.isEmpty());
    QVERIFY(OlderAppBuilds::makeAppImage(path(u"Downloads/Lumivale-1.4.0.AppImage"_s)));
    for (const QString& folder : {m_folder->path(), path(u"Downloads"_s), path(u"Downloads/Lumivale"_s)})
        QVERIFY(
            QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ExeOther | QFile::ReadOther));
    m_copies = QStringList{QFileInfo(path(u"Downloads/Lumivale"_s)).canonicalFilePath(),
                           QFileInfo(path(u"Downloads/Lumivale-1.4.0.AppImage"_s)).canonicalFilePath()};
}

void ProcOlderAppProcessesTest::cleanup()
{
    for (QProcess& process : m_processes) {
        process.kill();
        process.waitForFinished();
    }
    m_processes.clear();
    m_folder.reset();
}

QProcess& ProcOlderAppProcessesTest::start(const QString& program, const QStringList& arguments,
                                           const QProcessEnvironment& environment, bool asNobody)
{
    QProcess& process = m_processes.emplace_back();
    process.setProcessEnvironment(environment);
    if (asNobody) {
        process.setChildProcessModifier([] {
            if (::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(127);
        });
    }
    process.start(program, arguments);
    // Started means its program is exec'd: /proc already shows it.
    [&] { QVERIFY2(process.waitForStarted(), qPrintable(process.errorString())); }();
    return process;
}

bool ProcOlderAppProcessesTest::startWithId(QProcess& process, qint64 pid)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        QFile lastId(u"/proc/sys/kernel/ns_last_pid"_s);
        if (!lastId.open(QIODevice::WriteOnly) || lastId.write(QByteArray::number(pid - 1)) < 0 ||
            !lastId.flush())
            return false;
        lastId.close();
        process.start(u"/bin/sleep"_s, {u"60"_s});
        if (!process.waitForStarted())
            return false;
        if (process.processId() == pid)
            return true;
        // Another process of this busy machine took it first.
        process.kill();
        process.waitForFinished();
    }
    return false;
}

void ProcOlderAppProcessesTest::findsOnlyTheCopiesOwnPrograms_data()
{
    QTest::addColumn<QString>("program"); // relative to the test's folder, else absolute
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("appDir"); // with APPIMAGE naming the AppImage copy when set
    QTest::addColumn<bool>("asNobody");
    QTest::addColumn<int>("copy"); // the index of the copy found, -1 for none

    const QStringList waits{u"-c"_s, u"read"_s};
    QTest::newRow("the unpacked copy's program")
        << u"Downloads/Lumivale/lumivale"_s << waits << QString() << false << 0;
    QTest::newRow("the AppImage's runtime")
        << u"Downloads/Lumivale-1.4.0.AppImage"_s << QStringList{u"60"_s} << QString() << false << 1;
    QTest::newRow("a browser the AppImage's app opened")
        << u"/bin/sleep"_s << QStringList{u"60"_s} << u"mount"_s << false << -1;
    QTest::newRow("a program in an APPDIR that is no mount")
        << u"mount/lumivale"_s << waits << u"mount"_s << false << -1;
    QTest::newRow("a same-name decoy elsewhere, started by the AppImage")
        << u"Projects/Lumivale/lumivale"_s << waits << u"Projects/Lumivale"_s << false << -1;
    QTest::newRow("a folder whose name begins like the copy's")
        << u"Downloads/Lumivale-old/lumivale"_s << waits << QString() << false << -1;
    QTest::newRow("another user's process")
        << u"Downloads/Lumivale/lumivale"_s << waits << QString() << true << -1;
}

void ProcOlderAppProcessesTest::findsOnlyTheCopiesOwnPrograms()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, appDir);
    QFETCH(bool, asNobody);
    QFETCH(int, copy);

    if (asNobody && ::getuid() != 0)
        QSKIP("Only root can start another user's process here.");
    QVERIFY(!OlderAppBuilds::makeFolder(path(u"Projects/Lumivale"_s)).isEmpty());
    QVERIFY(!OlderAppBuilds::makeFolder(path(u"Downloads/Lumivale-old"_s)).isEmpty());
    QVERIFY(QDir().mkpath(path(u"mount"_s)));
    QVERIFY(QFile::copy(u"/bin/bash"_s, path(u"mount/lumivale"_s)));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!appDir.isEmpty()) {
        environment.insert(u"APPIMAGE"_s, m_copies[1]);
        environment.insert(u"APPDIR"_s, path(appDir));
    }
    const QString executable = QDir::isAbsolutePath(program) ? program : path(program);
    const QProcess& process = start(executable, arguments, environment, asNobody);

    ProcOlderAppProcesses processes;
    const std::vector<std::unique_ptr<lumi::RunningCopy>> running = processes.running(m_copies);
    QCOMPARE(running.size(), size_t(copy < 0 ? 0 : 1));
    if (copy >= 0) {
        QCOMPARE(running.front()->path(), m_copies[copy]);
        QCOMPARE(running.front()->pid(), process.processId());
        QVERIFY(running.front()->isRunning());
    }
}

void ProcOlderAppProcessesTest::appImageAppsCountInsideTheirOwnMount_data()
{
    // The AppImage runtime's FUSE mount can't be made here: what /proc shows of a process
    // inside one is given as text.
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("appImage");
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QByteArray>("mountInfo");
    QTest::addColumn<bool>("counts");

    const QString copy = u"/home/ann/Downloads/Lumivale-1.4.0.AppImage"_s;
    const QString mount = u"/tmp/.mount_LumivaXyZ"_s;
    const QByteArray mounted = fuseMount(mount.toUtf8());
    QTest::newRow("the app in its mount") << mount + u"/lumivale"_s << copy << mount << mounted << true;
    QTest::newRow("a helper deeper in its mount")
        << mount + u"/resources/helper"_s << copy << mount + u'/' << mounted << true;
    QTest::newRow("a mount point with a blank")
        << u"/tmp/a b/lumivale"_s << copy << u"/tmp/a b"_s << fuseMount("/tmp/a\\040b") << true;
    QTest::newRow("a program it opened")
        << u"/usr/lib/firefox/firefox"_s << copy << mount << mounted << false;
    QTest::newRow("APPDIR no mount") << mount + u"/lumivale"_s << copy << mount
                                     << QByteArray("25 1 0:22 / /proc rw - proc proc rw\n") << false;
    QTest::newRow("APPDIR a mount of another kind")
        << mount + u"/lumivale"_s << copy << mount
        << QByteArray("61 25 0:51 / /tmp/.mount_LumivaXyZ rw - tmpfs tmpfs rw\n") << false;
    QTest::newRow("APPDIR the root") << u"/usr/bin/env"_s << copy << u"/"_s
                                     << QByteArray("1 0 0:1 / / rw - fuse.root root rw\n") << false;
    QTest::newRow("APPIMAGE naming no copy")
        << mount + u"/lumivale"_s << u"/opt/Other.AppImage"_s << mount << mounted << false;
}

void ProcOlderAppProcessesTest::appImageAppsCountInsideTheirOwnMount()
{
    QFETCH(QString, executable);
    QFETCH(QString, appImage);
    QFETCH(QString, appDir);
    QFETCH(QByteArray, mountInfo);
    QFETCH(bool, counts);

    const QString copy = u"/home/ann/Downloads/Lumivale-1.4.0.AppImage"_s;
    const ProcOlderAppProcesses::ProcessImage image{
        .executable = executable, .appImage = appImage, .appDir = appDir, .mountInfo = mountInfo};
    QCOMPARE(ProcOlderAppProcesses::copyOf(image, {u"/home/ann/Downloads/Lumivale"_s, copy}),
             counts ? std::optional(copy) : std::nullopt);
}

void ProcOlderAppProcessesTest::aReusedIdIsNeverSignalled()
{
    QProcess& copy = start(m_folderProgram, {u"-c"_s, u"read"_s}, QProcessEnvironment::systemEnvironment());
    const qint64 pid = copy.processId();
    ProcOlderAppProcesses processes;
    const std::vector<std::unique_ptr<lumi::RunningCopy>> running = processes.running(m_copies);
    QCOMPARE(running.size(), size_t(1));

    // Between the scan and the signals the copy ends, and a stranger gets its id.
    copy.kill();
    QVERIFY(copy.waitForFinished());
    QProcess& stranger = m_processes.emplace_back();
    if (!startWithId(stranger, pid))
        QSKIP("The next process id can't be chosen here (it needs CAP_SYS_ADMIN).");

    QVERIFY(!running.front()->isRunning());
    QVERIFY(!running.front()->terminate());
    QVERIFY(!running.front()->kill());
    QVERIFY(!stranger.waitForFinished(300));
    QCOMPARE(stranger.state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(ProcOlderAppProcessesTest)
#include "ProcOlderAppProcessesTest.moc"
