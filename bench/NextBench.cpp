// "Next Wallpaper" on two X11 monitors, and the memory it leaves behind.
//
//     next                  30 user-initiated changes through the real rotation, wallpaper service
//                           and X11 root setter on a private Xvfb with two monitors (1920x1080 and
//                           1280x1024), over photos synced from the sandbox: min / median / max
//                           from the call to both monitors' root pictures changed; then
//                           `xwallpaper --zoom` on one of the same photos, 30 times.
//     next --idle [SECONDS] the process's RSS SECONDS (default 60) after 1, 5 and 25 changes.
//     next --5k             the changes as above on one 5120x2880 monitor instead of the two.

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

constexpr int changes = 30;

void summary(const char* what, QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s min %6.1f  median %6.1f  max %6.1f ms  (n = %lld)\n", what, ms.first(),
                ms[ms.size() / 2], ms.last(), static_cast<long long>(ms.size()));
}

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
                reinterpret_cast<xcb_property_notify_event_t*>(event)->atom == m_atom && ++m_seen == m_wanted) {
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
        auto service = std::make_unique<WallpaperService>(m_api.network(), m_setter, m_clock, m_reporter, *m_synced);
        m_engine = std::make_unique<RotationEngine>(
            RotationEngine::Services{m_account, m_clock, Defaults::shared(), m_api, m_screens, m_wake, *m_sync,
                                     m_events},
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
        std::printf("%lld wallpaper photos synced; fit \"%s\"\n", static_cast<long long>(m_sync->paperIndex().size()),
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
            std::fprintf(stderr, "change failed: %s\n", qPrintable(m_engine->lastError().value_or(QString())));
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

int latency(Rig& rig, RootWatch& watch)
{
    QList<double> ms;
    for (int i = 0; i < changes; ++i) {
        double one = 0;
        if (!rig.next(watch, &one))
            return 1;
        ms.append(one);
    }
    summary(rig.displayCount() == 1 ? "Next Wallpaper, one monitor" : "Next Wallpaper, both monitors", ms);

    const QString xwallpaper = QStandardPaths::findExecutable(u"xwallpaper"_s);
    if (xwallpaper.isEmpty()) {
        std::printf("xwallpaper --zoom: skipped, xwallpaper is not installed\n");
        return 0;
    }
    const QString photo = rig.aPhoto();
    QList<double> plain;
    for (int i = 0; i < changes; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess tool;
        tool.start(xwallpaper, {u"--zoom"_s, photo});
        if (!tool.waitForFinished(60'000) || tool.exitCode() != 0) {
            std::fprintf(stderr, "xwallpaper failed: %s\n", tool.readAllStandardError().constData());
            return 1;
        }
        plain.append(double(timer.nsecsElapsed()) / 1e6);
    }
    summary("xwallpaper --zoom, one photo", plain);
    return 0;
}

int idle(Rig& rig, RootWatch& watch, int seconds)
{
    std::printf("RSS before the first change: %.1f MiB\n", bench::residentMiB());
    int done = 0;
    for (const int total : {1, 5, 25}) {
        for (; done < total; ++done) {
            double ms = 0;
            if (!rig.next(watch, &ms))
                return 1;
        }
        QTest::qWait(seconds * 1000);
        std::printf("RSS %d s after %2d changes: %.1f MiB\n", seconds, total, bench::residentMiB());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Before the application, which reads the arguments only once the server is there.
    bool fiveK = false;
    for (int i = 1; i < argc; ++i)
        fiveK = fiveK || std::strcmp(argv[i], "--5k") == 0;
    const test::PrivateXServer server = fiveK ? test::PrivateXServer({{u"BIG"_s, QRect(0, 0, 5120, 2880)}})
                                              : test::PrivateXServer();
    if (server.display().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.error()));
        return 1;
    }
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const bool idleMode = arguments.contains(u"--idle"_s);
    const qsizetype at = arguments.indexOf(u"--idle"_s);
    const int seconds = idleMode && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 60;

    Rig rig;
    if (!rig.setUp())
        return 1;
    RootWatch watch(server.display());
    std::printf("%d monitors on %s\n", rig.displayCount(), server.display().constData());
    return idleMode ? idle(rig, watch, seconds) : latency(rig, watch);
}
