// The app idling in the tray, as started at login: the real lumivale executable with --autostart
// against the sandbox, in a temporary home with the demo account signed in, on a private Xvfb with
// two monitors, a tray host (trayer) and a private session bus.
//
//     idle                  after 1, 5 and 25 wallpaper changes (the first is the app's own at
//                           launch, the others Super+Shift+W with a pause before each, as a user
//                           presses it), one window each: the app's RSS, its CPU time per 120 s and
//                           its wake-ups per second (voluntary and involuntary context switches of
//                           all its threads), each with the machine's load, and the threads that
//                           woke. The first window holds the update check, 180 s after launch.
//     idle --quick          20 s windows that start once the app is quiet, 1 s pauses; the update
//                           check then falls outside the first window.
//     idle --window S       windows of S seconds (default 120).
//     idle --pause S        S seconds before each change (default 3).
//     idle --app PATH       another build of lumivale, to compare with.

#include "ResidentMemory.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "platform/Paths.h"
#include "support/PrivateSessionBus.h"
#include "support/PrivateXServer.h"
#include "support/SandboxFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace lumi;

namespace {

// When the app looks for updates, counted from its start.
constexpr auto updateCheckAt = 180s;
// How often the app's threads are read: a thread that ends loses at most this much of its count.
constexpr auto sampleStep = 200ms;
constexpr auto changeTimeout = 120s;

const char* const appcast = R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
<channel><title>Lumivale Desktop</title>
<item><title>Version 0.0.1</title><sparkle:version>0.0.1</sparkle:version>
<enclosure url="http://127.0.0.1/lumivale-0.0.1.tar.gz" sparkle:version="0.0.1" length="1"/></item>
</channel></rss>
)";

QString loadText()
{
    return QString::number(bench::machineLoad(), 'f', 2);
}

// One thread's counters as the kernel keeps them.
struct ThreadCount
{
    QString name;
    qint64 cpuNs = 0;
    qint64 switches = 0;
};

QByteArray readProc(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value of a "Name:   value kB" line of a status file.
qint64 statusField(const QByteArray& status, const QByteArray& name)
{
    for (const QByteArray& line : status.split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

QHash<QString, ThreadCount> readThreads(qint64 pid)
{
    QHash<QString, ThreadCount> threads;
    const QString folder = u"/proc/%1/task"_s.arg(pid);
    for (const QString& tid : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString base = folder + u'/' + tid;
        const QByteArray status = readProc(base + u"/status"_s);
        const QByteArray schedstat = readProc(base + u"/schedstat"_s);
        if (status.isEmpty() || schedstat.isEmpty())
            continue; // ended between the listing and the reads
        threads.insert(tid, {QString::fromUtf8(readProc(base + u"/comm"_s).trimmed()),
                             schedstat.split(' ').value(0).toLongLong(),
                             statusField(status, "voluntary_ctxt_switches") +
                                 statusField(status, "nonvoluntary_ctxt_switches")});
    }
    return threads;
}

struct Window
{
    double seconds = 0;
    double cpuMs = 0;
    qint64 wakeUps = 0;
    /// Thread name and id to its wake-ups and CPU ms, for the threads that woke.
    QList<std::pair<QString, std::pair<qint64, double>>> threads;
    double rssMiB = 0;
    double anonMiB = 0;
    double fileMiB = 0;
    QString load;
};

// Reads the app's threads through one window; threads that start within it count from zero, threads
// that end count up to their last reading.
Window measure(qint64 pid, std::chrono::milliseconds length)
{
    const QHash<QString, ThreadCount> first = readThreads(pid);
    QHash<QString, ThreadCount> last = first;
    QElapsedTimer clock;
    clock.start();
    for (qint64 left = length.count(); left > 0; left = length.count() - clock.elapsed()) {
        QTest::qWait(int(std::min<qint64>(std::chrono::milliseconds(sampleStep).count(), left)));
        last.insert(readThreads(pid));
    }
    Window window;
    window.seconds = double(clock.nsecsElapsed()) / 1e9;
    for (auto thread = last.cbegin(); thread != last.cend(); ++thread) {
        const ThreadCount before = first.value(thread.key());
        const qint64 wakeUps = thread->switches - before.switches;
        const double cpuMs = double(thread->cpuNs - before.cpuNs) / 1e6;
        window.wakeUps += wakeUps;
        window.cpuMs += cpuMs;
        if (wakeUps > 0)
            window.threads.append({thread->name + u" ("_s + thread.key() + u')', {wakeUps, cpuMs}});
    }
    std::sort(window.threads.begin(), window.threads.end(),
              [](const auto& a, const auto& b) { return a.second.first > b.second.first; });
    const QByteArray status = readProc(u"/proc/%1/status"_s.arg(pid));
    window.rssMiB = double(statusField(status, "VmRSS")) / 1024.0;
    window.anonMiB = double(statusField(status, "RssAnon")) / 1024.0;
    window.fileMiB = double(statusField(status, "RssFile") + statusField(status, "RssShmem")) / 1024.0;
    window.load = loadText();
    return window;
}

double cpuSoFarMs(qint64 pid)
{
    double total = 0;
    for (const ThreadCount& thread : readThreads(pid))
        total += double(thread.cpuNs) / 1e6;
    return total;
}

class Run final
{
public:
    Run(QString app, std::chrono::seconds window, std::chrono::seconds pause, bool quick)
        : m_program(std::move(app)), m_window(window), m_pause(pause), m_quick(quick)
    {
    }
    ~Run();
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    bool setUp();
    int measureAll();

private:
    QString log() const;
    int wallpapersSet() const { return int(log().count(u"[wallpaper] set "_s)); }
    bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout, const char* what);
    /// Runs a tool to its end; false, said unless quiet, when it failed.
    bool tool(const QString& program, const QStringList& arguments, bool quiet = false);
    /// Super+Shift+W after the pause, until both monitors show the new photos.
    bool change();
    /// Until the app has used no CPU for a few seconds.
    void settle();
    void report(int changes, const Window& window);

    QString m_program;
    std::chrono::seconds m_window;
    std::chrono::seconds m_pause;
    bool m_quick;
    test::PrivateXServer m_server;
    std::unique_ptr<test::PrivateSessionBus> m_bus;
    std::unique_ptr<test::SandboxFixture> m_sandbox;
    QProcess m_trayHost;
    QProcess m_app;
    QElapsedTimer m_sinceLaunch;
    int m_changes = 0;
    int m_monitors = 0;
};

Run::~Run()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.terminate();
        if (!m_app.waitForFinished(10'000))
            m_app.kill();
        m_app.waitForFinished();
    }
    m_trayHost.terminate();
    m_trayHost.waitForFinished();
}

QString Run::log() const
{
    QFile file(Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool Run::waitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout, const char* what)
{
    if (QTest::qWaitFor(done, int(timeout.count())))
        return true;
    std::fprintf(stderr, "idle: %s did not happen; the app's log ends:\n%s\n", what,
                 qPrintable(log().right(2000)));
    return false;
}

bool Run::tool(const QString& program, const QStringList& arguments, bool quiet)
{
    QProcess process;
    process.start(program, arguments);
    if (process.waitForFinished(20'000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    if (!quiet)
        std::fprintf(stderr, "idle: %s %s failed: %s\n", qPrintable(program),
                     qPrintable(arguments.join(u' ')), process.readAllStandardError().constData());
    return false;
}

bool Run::setUp()
{
    if (m_server.display().isEmpty()) {
        std::fprintf(stderr, "idle: %s\n", qPrintable(m_server.error()));
        return false;
    }
    qputenv("DISPLAY", m_server.display());
    m_monitors = int(test::PrivateXServer::defaultMonitors().size());
    m_bus = std::make_unique<test::PrivateSessionBus>();
    if (m_bus->address().isEmpty()) {
        std::fprintf(stderr, "idle: %s\n", qPrintable(m_bus->error()));
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
    // The plain X11 root window: no desktop of this machine is asked.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");

    m_sandbox = std::make_unique<test::SandboxFixture>();
    if (!m_sandbox->isRunning()) {
        std::fprintf(stderr, "idle: %s\n", qPrintable(m_sandbox->errorString()));
        return false;
    }
    // Signed in by an earlier run, as a returning user is: the token and the user it read.
    const QString token = m_sandbox->signInToken();
    const QJsonObject user =
        m_sandbox->call("GET", u"users"_s, token).json().toObject().value(u"user"_s).toObject();
    if (!SessionTokenFile::save(token) || user.isEmpty()) {
        std::fprintf(stderr, "idle: the demo account did not sign in\n");
        return false;
    }
    Defaults::shared().setValue(keys::user, QJsonDocument(user).toJson(QJsonDocument::Compact));
    // The update check reads the sandbox's feed, over loopback.
    QUrl control = m_sandbox->serverUrl();
    control.setPath(u"/__sandbox/appcast"_s);
    if (m_sandbox->fetch("PUT", control, appcast).status != 200) {
        std::fprintf(stderr, "idle: the sandbox took no update feed\n");
        return false;
    }
    QUrl feed = m_sandbox->serverUrl();
    feed.setPath(u"/appcast.xml"_s);
    Defaults::shared().setValue(keys::updateUrl, feed.toString());

    m_trayHost.start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s,
                                   u"pixel"_s, u"--width"_s, u"64"_s, u"--height"_s, u"32"_s});
    if (!m_trayHost.waitForStarted()) {
        std::fprintf(stderr, "idle: trayer is needed as the tray host\n");
        return false;
    }
    // The tray is there before the app looks for it, as at login.
    if (!waitFor(
            [this] {
                return tool(u"xdotool"_s, {u"search"_s, u"--class"_s, u"trayer"_s}, true);
            },
            20s, "the tray host's window"))
        return false;

    m_app.setStandardOutputFile(QProcess::nullDevice());
    m_app.setStandardErrorFile(QProcess::nullDevice());
    m_app.start(m_program, {u"--autostart"_s});
    m_sinceLaunch.start();
    if (!m_app.waitForStarted())
        return false;
    // The launch's own change puts a photo on every monitor; the sync pass then ends.
    if (!waitFor([this] { return wallpapersSet() >= m_monitors; }, changeTimeout, "the first wallpapers") ||
        !waitFor([this] { return log().contains(u"[sync] synced "_s); }, changeTimeout,
                 "the first sync pass"))
        return false;
    m_changes = 1;
    if (log().contains(u"no system tray found"_s)) {
        std::fprintf(stderr, "idle: the app found no tray\n");
        return false;
    }
    std::printf("%s (pid %lld) on %s with %d monitors; first wallpapers after %.1f s\n",
                qPrintable(m_program), qint64(m_app.processId()), m_server.display().constData(), m_monitors,
                double(m_sinceLaunch.elapsed()) / 1000.0);
    return true;
}

bool Run::change()
{
    QTest::qWait(int(std::chrono::milliseconds(m_pause).count()));
    const int before = wallpapersSet();
    if (!tool(u"xdotool"_s, {u"key"_s, u"super+shift+w"_s}))
        return false;
    if (!waitFor([&] { return wallpapersSet() >= before + m_monitors; }, changeTimeout, "a change"))
        return false;
    ++m_changes;
    return true;
}

void Run::settle()
{
    const qint64 pid = m_app.processId();
    QElapsedTimer waited;
    waited.start();
    for (double before = cpuSoFarMs(pid); waited.elapsed() < 60'000;) {
        QTest::qWait(3000);
        const double now = cpuSoFarMs(pid);
        if (now - before < 1.0)
            return;
        before = now;
    }
}

void Run::report(int changes, const Window& window)
{
    const double perWindow = 120.0 / window.seconds;
    std::printf("after %2d changes, %.0f s: RSS %5.1f MiB (anon %.1f, file %.1f)  load %s\n", changes,
                window.seconds, window.rssMiB, window.anonMiB, window.fileMiB, qPrintable(window.load));
    std::printf("    CPU %6.1f ms per 120 s  load %s\n", window.cpuMs * perWindow, qPrintable(window.load));
    std::printf("    wake-ups %.3f per s (%lld)  load %s\n", double(window.wakeUps) / window.seconds,
                window.wakeUps, qPrintable(window.load));
    for (const auto& [thread, figures] : window.threads)
        std::printf("        %-34s %4lld wake-ups  %7.2f ms\n", qPrintable(thread), figures.first,
                    figures.second);
}

int Run::measureAll()
{
    const qint64 pid = m_app.processId();
    for (const int total : {1, 5, 25}) {
        while (m_changes < total) {
            if (!change())
                return 1;
        }
        settle();
        // A move of the pointer over the bare desktop: the user is about, so the saver stays away.
        if (!tool(u"xdotool"_s, {u"mousemove"_s, u"200"_s, u"600"_s}) ||
            !tool(u"xdotool"_s, {u"mousemove"_s, u"201"_s, u"600"_s}))
            return 1;
        const bool holdsUpdateCheck = total == 1 && !m_quick;
        if (holdsUpdateCheck) {
            // The window ends a third of its length after the check.
            const auto start = updateCheckAt + m_window / 3 - m_window;
            const qint64 wait = std::chrono::milliseconds(start).count() - m_sinceLaunch.elapsed();
            if (wait > 0)
                QTest::qWait(int(wait));
        }
        const qint64 startedAt = m_sinceLaunch.elapsed();
        const int updateLines = int(log().count(u"[update] "_s));
        const Window window = measure(pid, m_window);
        report(total, window);
        if (holdsUpdateCheck) {
            const bool checked = log().count(u"[update] "_s) > updateLines;
            std::printf("    update check in this window (%.0f-%.0f s after launch): %s\n",
                        double(startedAt) / 1000.0, double(m_sinceLaunch.elapsed()) / 1000.0,
                        checked ? "yes" : "NO");
        }
        if (log().contains(u"[player] saver started"_s)) {
            std::fprintf(stderr, "idle: the saver started during the run; the figures are not idle ones\n");
            return 1;
        }
    }
    return 0;
}

std::chrono::seconds secondsAfter(const QStringList& arguments, const QString& flag,
                                  std::chrono::seconds fallback)
{
    const qsizetype at = arguments.indexOf(flag);
    return at >= 0 && at + 1 < arguments.size() ? std::chrono::seconds(arguments[at + 1].toInt()) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    // Each figure shows as it comes, also into a file.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool quick = arguments.contains(u"--quick"_s);
    const std::chrono::seconds window = secondsAfter(arguments, u"--window"_s, quick ? 20s : 120s);
    const std::chrono::seconds pause = secondsAfter(arguments, u"--pause"_s, quick ? 1s : 3s);
    const qsizetype appAt = arguments.indexOf(u"--app"_s);
    const QString program = appAt >= 0 ? arguments.value(appAt + 1) : QStringLiteral(LUMIVALE_EXE);
    if (window <= 0s || pause < 0s || program.isEmpty()) {
        std::fprintf(stderr, "usage: idle [--quick] [--window SECONDS] [--pause SECONDS] [--app PATH]\n");
        return 2;
    }
    Run run(program, window, pause, quick);
    if (!run.setUp())
        return 1;
    return run.measureAll();
}
