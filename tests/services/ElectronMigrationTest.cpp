#include "services/ElectronMigration.h"

#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/FileRevealer.h"
#include "platform/Trash.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/ProcOlderAppProcesses.h"
#include "support/LogLines.h"
#include "support/TemporaryHome.h"
#include "support/services/OlderAppBuilds.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <list>
#include <memory>

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;
using lumi::Defaults;
using lumi::ElectronMigration;
using lumi::test::OlderAppBuilds;
namespace keys = lumi::keys;

namespace {

// A trash that refuses everything, as a full or read-only one would.
class RefusingTrash final : public lumi::Trash
{
public:
    std::optional<QString> moveToTrash(const QString&) override { return u"no room"_s; }
};

class RecordingRevealer final : public lumi::FileRevealer
{
public:
    explicit RecordingRevealer(QStringList& revealed) : m_revealed(revealed) {}
    void revealFolder(const QString& path) override { m_revealed.append(path); }
    void revealFile(const QString& path) override { m_revealed.append(path); }

private:
    QStringList& m_revealed;
};

} // namespace

/// The take-over in a temporary home: copies of the older app that quit or have to be killed,
/// installed copies moved to the trash, and the keys that carry the state from launch to launch.
class ElectronMigrationTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void quitsRunningCopiesAndTrashesInstalledOnes();
    void keysOverLaunches_data();
    void keysOverLaunches();

private:
    std::unique_ptr<ElectronMigration> migration(bool trashWorks = true, QString executable = {});
    /// Starts a shell from the executable that ignores SIGTERM and starts a second one like it,
    /// as a copy runs as several processes; returns once both do.
    void startStubborn(QProcess& process, const QString& executable);

    std::unique_ptr<lumi::test::TemporaryHome> m_home;
    QStringList m_revealed;
    std::list<QProcess> m_processes;
};

void ElectronMigrationTest::init()
{
    m_home = std::make_unique<lumi::test::TemporaryHome>();
    QVERIFY(m_home->isValid());
    m_revealed.clear();
}

void ElectronMigrationTest::cleanup()
{
    for (QProcess& process : m_processes) {
        // A stubborn copy's child ignores TERM and would outlive its parent: end its whole group.
        if (process.state() != QProcess::NotRunning)
            ::kill(-pid_t(process.processId()), SIGKILL);
        process.kill();
        process.waitForFinished();
    }
    m_processes.clear();
    m_home.reset();
}

std::unique_ptr<ElectronMigration> ElectronMigrationTest::migration(bool trashWorks, QString executable)
{
    std::unique_ptr<lumi::Trash> trash;
    if (trashWorks)
        trash = lumi::LinuxPlatform::trash();
    else
        trash = std::make_unique<RefusingTrash>();
    return std::make_unique<ElectronMigration>(ElectronMigration::Services{
        .defaults = Defaults::shared(),
        .clock = lumi::LinuxPlatform::clock(),
        .processes = std::make_unique<lumi::ProcOlderAppProcesses>(),
        .trash = std::move(trash),
        .revealer = std::make_unique<RecordingRevealer>(m_revealed),
        .executable =
            executable.isEmpty() ? m_home->path() + u"/Applications/lumivale-desktop"_s : executable,
        .preferredLanguages = {u"en-US"_s},
        // Short, so the stubborn copy is killed soon.
        .quitTimeout = std::chrono::milliseconds(600),
    });
}

void ElectronMigrationTest::startStubborn(QProcess& process, const QString& executable)
{
    const QString ready = QFileInfo(executable).absolutePath() + u"/ready"_s;
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start(
        executable,
        {u"-c"_s, u"trap '' TERM; \"$BASH\" -c \"trap '' TERM; : > '%1'; while :; do sleep 0.05; done\" & "
                  u"while :; do sleep 0.05; done"_s.arg(ready)});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY(QFile::exists(ready));
}

void ElectronMigrationTest::quitsRunningCopiesAndTrashesInstalledOnes()
{
    const QString home = m_home->path();
    const QString folderCopy = home + u"/Applications/Lumivale"_s;
    const QString appImage = home + u"/Downloads/old/Lumivale-1.4.0.AppImage"_s;
    QVERIFY(OlderAppBuilds::makeAppImage(appImage));
    QProcess& stubborn = m_processes.emplace_back();
    startStubborn(stubborn, OlderAppBuilds::makeFolder(folderCopy));
    // The AppImage's runtime, from the file itself; a program it opened inherits its environment.
    QProcess& fromAppImage = m_processes.emplace_back();
    fromAppImage.start(appImage, {u"60"_s});
    QVERIFY(fromAppImage.waitForStarted());
    QProcess& opened = m_processes.emplace_back();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"APPIMAGE"_s, appImage);
    opened.setProcessEnvironment(environment);
    opened.start(u"/bin/sleep"_s, {u"60"_s});
    QVERIFY(opened.waitForStarted());
    // The same program by the same name, but not in a place copies are looked for.
    QProcess& decoy = m_processes.emplace_back();
    startStubborn(decoy, OlderAppBuilds::makeFolder(home + u"/Projects/Lumivale"_s));

    const qint64 stubbornPid = stubborn.processId();
    std::unique_ptr<ElectronMigration> takeover = migration();
    QVERIFY(takeover->isOldAppRunning());
    QCoro::waitFor(takeover->takeOver());

    // Both were signalled before the take-over returned; the test only has to reap them.
    QTRY_COMPARE(stubborn.state(), QProcess::NotRunning);
    QCOMPARE(stubborn.exitStatus(), QProcess::CrashExit);
    QTRY_COMPARE(fromAppImage.state(), QProcess::NotRunning);
    QCOMPARE(opened.state(), QProcess::Running);
    QCOMPARE(decoy.state(), QProcess::Running);
    QVERIFY(!takeover->isOldAppRunning());

    const QStringList log = lumi::test::logLines(u"takeover"_s);
    QCOMPARE(log, (QStringList{
                      u"Electron: 2 running, 2 installed, try 1"_s,
                      u"Electron pid %1 didn't quit: forcing"_s.arg(stubbornPid),
                      u"Electron copy at %1 moved to the Trash"_s.arg(folderCopy),
                      u"Electron copy at %1 moved to the Trash"_s.arg(appImage),
                  }));
    QVERIFY(!QFileInfo::exists(folderCopy));
    QVERIFY(!QFileInfo::exists(appImage));
    const QDir trashInfo(home + u"/.local/share/Trash/info"_s);
    QCOMPARE(trashInfo.entryList({u"*.trashinfo"_s}, QDir::Files),
             (QStringList{u"Lumivale-1.4.0.AppImage.trashinfo"_s, u"Lumivale.trashinfo"_s}));
    QCOMPARE(Defaults::shared().boolValue(keys::electronReplaced), std::optional(true));
    QCOMPARE(Defaults::shared().integerValue(keys::electronTakeoverTries), std::optional<qint64>(1));
    QCOMPARE(Defaults::shared().mapValue(keys::desktopReplacedPending),
             std::optional(QVariantMap{{u"trashed-copies"_s, 2}, {u"quit"_s, 2}, {u"try"_s, 1}}));
    QVERIFY(!takeover->oldAppLeftInPlace());
}

void ElectronMigrationTest::keysOverLaunches_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("trashWorks");
    QTest::addColumn<QVariant>("replaced");
    QTest::addColumn<QVariant>("tries");
    QTest::addColumn<QVariant>("pending");
    QTest::addColumn<QStringList>("log");

    const QVariantMap gaveUp{{u"trashed-copies"_s, 0}, {u"quit"_s, 0}, {u"try"_s, 3}};
    const QString failed = u"Electron copy at <copy> not moved to the Trash: no room"_s;
    QTest::newRow("nothing found") << false << true << true << QVariant(true) << QVariant() << QVariant()
                                   << QStringList{};
    QTest::newRow("outside the gate")
        << true << false << true << QVariant() << QVariant() << QVariant()
        << QStringList(4, u"not in an Applications folder: Electron left alone"_s);
    QTest::newRow("trash refuses at every launch")
        << true << true << false << QVariant() << QVariant(qint64(3)) << QVariant(gaveUp)
        << QStringList{u"Electron: 0 running, 1 installed, try 1"_s, failed,
                       u"Electron: 0 running, 1 installed, try 2"_s, failed,
                       u"Electron: 0 running, 1 installed, try 3"_s, failed};
}

void ElectronMigrationTest::keysOverLaunches()
{
    QFETCH(bool, copy);
    QFETCH(bool, installed);
    QFETCH(bool, trashWorks);
    QFETCH(QVariant, replaced);
    QFETCH(QVariant, tries);
    QFETCH(QVariant, pending);
    QFETCH(QStringList, log);

    const QString folderCopy = m_home->path() + u"/Desktop/Lumivale"_s;
    if (copy)
        QVERIFY(!OlderAppBuilds::makeFolder(folderCopy).isEmpty());
    const QString executable = installed ? QString() : m_home->path() + u"/build/src/lumivale"_s;
    // A fourth launch once three tries are counted changes nothing.
    for (int launch = 0; launch < 4; ++launch) {
        std::unique_ptr<ElectronMigration> takeover = migration(trashWorks, executable);
        QCoro::waitFor(takeover->takeOver());
        QCOMPARE(takeover->oldAppLeftInPlace(), copy && installed && !trashWorks && launch < 3);
        if (launch == 0 && copy) {
            takeover->revealOldApp();
            QCOMPARE(m_revealed, QStringList{folderCopy});
        }
    }

    QCOMPARE(Defaults::shared().value(keys::electronReplaced), replaced);
    QCOMPARE(Defaults::shared().value(keys::electronTakeoverTries), tries);
    QCOMPARE(Defaults::shared().value(keys::desktopReplacedPending), pending);
    log.replaceInStrings(u"<copy>"_s, folderCopy);
    QCOMPARE(lumi::test::logLines(u"takeover"_s), log);
    QCOMPARE(QFileInfo::exists(folderCopy), copy);
}

QTEST_GUILESS_MAIN(ElectronMigrationTest)
#include "ElectronMigrationTest.moc"
