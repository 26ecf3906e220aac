// "Next Wallpaper" on two X11 monitors in the user's rhythm, beside its floor, and the memory it
// leaves behind.
//
//     next [--pause SECONDS] [--rounds N]
//                           user-initiated changes through the real rotation, wallpaper service
//                           and X11 root setter on a private Xvfb with two monitors (1920x1080 and
//                           1280x1024), over photos synced from the sandbox, timed from the call
//                           to both monitors' root pictures changed; each round also times
//                           `xwallpaper --zoom` setting one of the same photos (the floor; skipped
//                           when xwallpaper is not installed). Two rhythms, N rounds each
//                           (default 30): a pause of SECONDS (default 3) before every change, as
//                           a user clicks, then back to back (only this one with --pause 0).
//                           Min / median / max, the ratio of the medians, and the machine's load
//                           (1-minute average, the mean over the series) beside every figure.
//     next --idle [SECONDS] the process's RSS SECONDS (default 60) after 1, 5 and 25 changes, each
//                           change after the pause.
//     next --5k             the changes as above on one 5120x2880 monitor instead of the two.
//
// A freed bitmap's memory may go back to the system, and the next change then pays for touching
// fresh pages: after a pause that costs more than back to back, which is why both are measured.

#include "ResidentMemory.h"
#include "library/PlaylistSync.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/X11RootWallpaperSetter.h"
#include "services/CrashReporter.h"
#include "support/FakeWakeWatcher.h"
#include "support/ManualClock.h"
#include "support/PrivateXServer.h"
#include "support/SandboxFixture.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/RotationEngine.h"
#include "wallpaper/WallpaperService.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace lumi;

namespace {

constexpr int defaultRounds = 30;
constexpr double defaultPause = 3;

/// A series of timings and the machine's load while they were taken.
struct Series
{
    QList<double> ms;
    double load = 0;

    void add(double one)
    {
        ms.append(one);
        load += bench::machineLoad();
    }
    double median() const
    {
        QList<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    void print(const char* what) const
    {
        const auto [least, most] = std::minmax_element(ms.cbegin(), ms.cend());
        std::printf("  %-30s min %6.1f  median %6.1f  max %6.1f ms  (n = %lld, load %4.1f)\n", what, *least,
                    median(), *most, static_cast<long long>(ms.size()), load / double(ms.size()));
    }
};

// Counts the root's _XROOTPMAP_ID changes as the X server reports them, timed on arrival.
class RootWatch final
{
public:
    explicit RootWatch(const QByteArray& display)
    {
        m_x = xcb_connect(display.constData(), nullptr);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
        const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_x, root, XCB_CW_EVENT_MASK, &mask);
        auto* atom = xcb_intern_atom_reply(m_x, xcb_intern_atom(m_x, 0, 13, "_XROOTPMAP_ID"), nullptr);
        m_atom = atom->atom;
        std::free(atom);
        xcb_flush(m_x);
        m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_x), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drain(); });
    }
    ~RootWatch()
    {
        m_notifier.reset();
        xcb_disconnect(m_x);
    }
    RootWatch(const RootWatch&) = delete;
    RootWatch& operator=(const RootWatch&) = delete;

    // Milliseconds from now until count more changes arrived; negative when they never came.
    double timeChanges(int count, const std::function<void()>& start)
    {
        drain();
        m_seen = 0;
        m_wanted = count;
        m_timer.start();
        m_done = -1;
        start();
        QEventLoop loop;
        m_loop = &loop;
        QTimer::singleShot(60s, &loop, &QEventLoop::quit);
        if (m_done < 0)
            loop.exec();
        m_loop = nullptr;
        return m_done;
    }

private:
    void drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_x)) {
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY &&
                reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_atom &&
                ++m_seen == m_wanted) {
                m_done = double(m_timer.nsecsElapsed()) / 1e6;
                if (m_loop)
                    m_loop->quit();
            }
            std::free(event);
        }
    }

    xcb_connection_t* m_x = nullptr;
    xcb_atom_t m_atom = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QElapsedTimer m_timer;
    QEventLoop* m_loop = nullptr;
    int m_seen = 0;
    int m_wanted = 0;
    double m_done = -1;
};

// The rotation on the real parts, over the sandbox's demo account synced into a temporary HOME.
class Rig final
{
public:
    bool setUp()
    {
        if (!m_sandbox.isRunning()) {
            std::fprintf(stderr, "sandbox: %s\n", qPrintable(m_sandbox.errorString()));
            return false;
        }
        const QString token = m_sandbox.signInToken();
        m_api.setToken(token);
        const std::optional<User> user =
            User::fromJson(m_sandbox.call("GET", u"users"_s, token).json()[u"user"_s]);
        if (!user)
            return false;
        m_account.setHasSessionToken(true);
        m_account.setUser(user);
        m_account.setAlbums(AlbumsResponse::fromJson(m_sandbox.call("GET", u"albums"_s, token).json())
                                .value_or(AlbumsResponse())
                                .albums);
        m_account.setAlbumsLoaded(true);
        const QString photos = m_sandbox.homePath() + u"/Photos"_s;
        QDir().mkpath(photos);
        Defaults::shared().setValue(keys::dataDir, photos);
        m_sync = std::make_unique<PlaylistSync>(PlaylistSync::Services{
            .account = m_account,
            .defaults = Defaults::shared(),
            .api = m_api,
            .screens = m_screens,
            .clock = m_clock,
            .reporter = m_reporter,
        });
        m_synced = std::make_unique<LibrarySyncedPhotos>(photos, *m_sync, Defaults::shared());
        auto service =
            std::make_unique<WallpaperService>(m_api.network(), m_setter, m_clock, m_reporter, *m_synced);
        m_engine = std::make_unique<RotationEngine>(
            RotationEngine::Services{m_account, m_clock, Defaults::shared(), m_api, m_screens, m_wake,
                                     *m_sync, m_events},
            std::move(service));

        m_sync->requestSync(0ms, false);
        const bool synced = QTest::qWaitFor(
            [this] {
                if (m_sync->isIdle())
                    return true;
                if (m_clock.sleeperCount() > 0)
                    m_clock.advance(1s);
                return false;
            },
            600'000);
        std::printf("%lld wallpaper photos synced; fit \"%s\"\n",
                    static_cast<long long>(m_sync->paperIndex().size()),
                    qPrintable(user->fitDesktop.value_or(u"fill"_s)));
        return synced && !m_sync->paperIndex().isEmpty();
    }

    // One "Next Wallpaper"; false when it failed.
    bool next(RootWatch& watch, double* ms)
    {
        bool changed = false;
        *ms = watch.timeChanges(int(m_screens.displays().size()), [&] {
            [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
                changed = co_await engine.changeWallpaper(true);
            }(*m_engine, changed);
        });
        const bool settled = QTest::qWaitFor([this] { return m_engine->runningTasks() == 0; }, 60'000);
        if (!changed || !settled)
            std::fprintf(stderr, "change failed: %s\n",
                         qPrintable(m_engine->lastError().value_or(QString())));
        return changed && settled && *ms >= 0;
    }

    QString aPhoto() const { return m_sync->paperIndex().cbegin().value(); }
    int displayCount() const { return int(m_screens.displays().size()); }

private:
    test::SandboxFixture m_sandbox;
    test::ManualClock m_clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    CrashReporter m_reporter;
    APIClient m_api{m_reporter};
    QtScreens m_screens;
    Account m_account;
    X11RootWallpaperSetter m_setter{qgetenv("DISPLAY")};
    test::FakeWakeWatcher m_wake;
    test::CallJournal m_journal;
    test::RecordingEvents m_events{m_journal};
    std::unique_ptr<PlaylistSync> m_sync;
    std::unique_ptr<LibrarySyncedPhotos> m_synced;
    std::unique_ptr<RotationEngine> m_engine;
};

// `xwallpaper --zoom photo` from its start to its end; negative when it failed.
double xwallpaper(const QString& tool, const QString& photo)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(tool, {u"--zoom"_s, photo});
    if (!process.waitForFinished(60'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "xwallpaper failed: %s\n", process.readAllStandardError().constData());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

// One rhythm: rounds of a change and the floor, each after the pause.
int rhythm(Rig& rig, RootWatch& watch, int rounds, double pause, const QString& tool)
{
    if (pause > 0)
        std::printf("%.1f s pause before each change:\n", pause);
    else
        std::printf("back to back:\n");
    Series next;
    Series floor;
    const QString photo = rig.aPhoto();
    for (int i = 0; i < rounds; ++i) {
        QTest::qWait(int(pause * 1000));
        double one = 0;
        if (!rig.next(watch, &one))
            return 1;
        next.add(one);
        if (tool.isEmpty())
            continue;
        QTest::qWait(int(pause * 1000));
        const double plain = xwallpaper(tool, photo);
        if (plain < 0)
            return 1;
        floor.add(plain);
    }
    next.print(rig.displayCount() == 1 ? "Next Wallpaper, one monitor" : "Next Wallpaper, both monitors");
    if (tool.isEmpty()) {
        std::printf("  xwallpaper --zoom: skipped, xwallpaper is not installed\n");
        return 0;
    }
    floor.print("xwallpaper --zoom, one photo");
    std::printf("  median ratio: %.2fx xwallpaper\n", next.median() / floor.median());
    return 0;
}

int latency(Rig& rig, RootWatch& watch, int rounds, double pause)
{
    const QString tool = QStandardPaths::findExecutable(u"xwallpaper"_s);
    if (pause > 0 && rhythm(rig, watch, rounds, pause, tool) != 0)
        return 1;
    return rhythm(rig, watch, rounds, 0, tool);
}

int idle(Rig& rig, RootWatch& watch, int seconds, double pause)
{
    std::printf("RSS before the first change: %.1f MiB (load %.1f)\n", bench::residentMiB(),
                bench::machineLoad());
    int done = 0;
    for (const int total : {1, 5, 25}) {
        for (; done < total; ++done) {
            QTest::qWait(int(pause * 1000));
            double ms = 0;
            if (!rig.next(watch, &ms))
                return 1;
        }
        QTest::qWait(seconds * 1000);
        std::printf("RSS %d s after %2d changes: %.1f MiB (load %.1f)\n", seconds, total,
                    bench::residentMiB(), bench::machineLoad());
    }
    return 0;
}

// The number after flag, or fallback when the flag is not there.
double option(const QStringList& arguments, const QString& flag, double fallback)
{
    const qsizetype at = arguments.indexOf(flag);
    bool ok = false;
    const double value = at >= 0 && at + 1 < arguments.size() ? arguments[at + 1].toDouble(&ok) : 0;
    return ok ? value : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    // Before the application, which reads the arguments only once the server is there.
    bool fiveK = false;
    for (int i = 1; i < argc; ++i)
        fiveK = fiveK || std::strcmp(argv[i], "--5k") == 0;
    const test::PrivateXServer server =
        fiveK ? test::PrivateXServer({{u"BIG"_s, QRect(0, 0, 5120, 2880)}}) : test::PrivateXServer();
    if (server.display().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool idleMode = arguments.contains(u"--idle"_s);
    const int seconds = int(option(arguments, u"--idle"_s, 60));
    const double pause = std::max(0.0, option(arguments, u"--pause"_s, defaultPause));
    const int rounds = std::max(1, int(option(arguments, u"--rounds"_s, defaultRounds)));

    Rig rig;
    if (!rig.setUp())
        return 1;
    RootWatch watch(server.display());
    std::printf("%d monitors on %s\n", rig.displayCount(), server.display().constData());
    return idleMode ? idle(rig, watch, seconds, pause) : latency(rig, watch, rounds, pause);
}
