// The photo grid over a collection of 5,000 photos (the sandbox's --bulk-collection) in an
// offscreen 1280x800 window with automatic columns: scrolls to the end one viewport at a time,
// loading pages as the last tile comes into view, then back to the top. Prints, each beside the
// machine's load: the longest stall of the GUI thread (the largest gap between ticks of a 1 ms
// timer); the time of one viewport repaint per step, wall clock and the GUI thread's own CPU time
// (longest, the steps over a 60 Hz frame of 16.7 ms, 95th percentile and median; goal: none over);
// the same for the scroll that places the tiles before it; the peak bytes of decoded thumbnails;
// the most tiles alive; and the resident size before the grid and after the run (goal: growth
// <= 90 MiB).
//
//   bench/grid [--settle-ms N]   (how long each step lets thumbnails arrive; 40 by default)

#include "ResidentMemory.h"
#include "browser/PhotoGrid.h"
#include "browser/ThumbnailLoader.h"
#include "support/FakeScreens.h"
#include "support/browser/RecordingPhotoSheets.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace Qt::StringLiterals;

namespace lumi {
namespace {

constexpr double frameMs = 1000.0 / 60.0;

void print(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString withLoad(const QString& figure)
{
    return u"%1  (load %2)"_s.arg(figure).arg(bench::machineLoad(), 0, 'f', 2);
}

// Bench-only: runs the event loop for a while, or until done (the app never waits like this).
void runFor(int ms, const std::function<bool()>& done = {})
{
    QEventLoop loop;
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done && done())
            loop.quit();
    });
    stop.start(ms);
    poll.start(5);
    loop.exec();
}

/// The largest gap between ticks of a 1 ms timer while it runs.
class StallWatch final : public QObject
{
public:
    StallWatch()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this,
                [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_clock.start();
        m_timer.start(1);
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

/// Times of one kind of step: on the wall clock, which a busy machine stretches, and in the GUI
/// thread's own CPU time, which it does not.
struct StepTimes
{
    std::vector<double> wall;
    std::vector<double> cpu;

    void time(const std::function<void()>& work)
    {
        QElapsedTimer clock;
        const double cpuStart = threadCpuMs();
        clock.start();
        work();
        wall.push_back(double(clock.nsecsElapsed()) / 1e6);
        cpu.push_back(threadCpuMs() - cpuStart);
    }
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

QString summary(const std::vector<double>& values)
{
    const auto over = std::count_if(values.cbegin(), values.cend(), [](double ms) { return ms > frameMs; });
    return u"max %1 ms, %2 of %3 over 16.7 ms, p95 %4 ms, median %5 ms"_s
        .arg(values.empty() ? 0 : *std::max_element(values.cbegin(), values.cend()), 0, 'f', 2)
        .arg(over)
        .arg(values.size())
        .arg(percentile(values, 0.95), 0, 'f', 2)
        .arg(percentile(values, 0.5), 0, 'f', 2);
}

int run(int settleMs)
{
    test::ModelHarness harness({u"--bulk-collection"_s});
    harness.launchSignedIn();
    test::FakeScreens screens{{test::FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080))}};
    test::RecordingPhotoSheets sheets;
    test::RecordingRevealer revealer;
    ThumbnailLoader thumbnails(harness.api.network());
    const double before = bench::residentMiB();

    PhotoGrid grid(GridServices{harness.model(), harness.catalog(), harness.playlists(), harness.guidance(),
                                harness.defaults, screens, harness.links, revealer, sheets, thumbnails,
                                harness.clock},
                   Source{Source::Category{u"channels/bulk"_s, u"Bulk"_s}}, GridColumns::automatic);
    grid.resize(1280, 800);
    grid.show();
    runFor(20000, [&] { return !grid.isLoading() && !grid.media().isEmpty(); });

    StallWatch stalls;
    StepTimes scrolls;
    StepTimes paints;
    int mostCells = 0;
    QScrollBar* bar = grid.verticalScrollBar();
    auto step = [&](int to) {
        scrolls.time([&] { bar->setValue(to); });
        runFor(settleMs, [&] { return false; });
        if (grid.isLoading())
            runFor(20000, [&] { return !grid.isLoading(); });
        paints.time([&] { grid.viewport()->repaint(); });
        mostCells = std::max(mostCells, grid.cellCount());
    };
    int steps = 0;
    // Down: the end moves as pages arrive, until the last page was short.
    while (bar->value() < bar->maximum() || grid.isLoading()) {
        step(std::min(bar->maximum(), bar->value() + bar->pageStep()));
        ++steps;
    }
    while (bar->value() > 0) {
        step(std::max(0, bar->value() - bar->pageStep()));
        ++steps;
    }
    const double after = bench::residentMiB();

    print(withLoad(u"photos loaded: %1 in %2 steps of one viewport"_s.arg(grid.media().size()).arg(steps)));
    print(withLoad(u"longest GUI-thread stall: %1 ms"_s.arg(stalls.longestMs())));
    print(withLoad(u"paint per step, wall: %1 (goal: none over)"_s.arg(summary(paints.wall))));
    print(withLoad(u"paint per step, CPU:  %1"_s.arg(summary(paints.cpu))));
    print(withLoad(u"scroll per step, wall: %1"_s.arg(summary(scrolls.wall))));
    print(withLoad(u"scroll per step, CPU:  %1"_s.arg(summary(scrolls.cpu))));
    print(withLoad(u"decoded thumbnails: peak %1 MiB (bound %2 MiB)"_s
                       .arg(double(thumbnails.peakBytes()) / 1048576.0, 0, 'f', 1)
                       .arg(ThumbnailLoader::defaultMaxBytes / 1048576)));
    print(withLoad(u"tiles alive: at most %1, at the end %2"_s.arg(mostCells).arg(grid.cellCount())));
    print(
        withLoad(u"RSS: before %1 MiB, after %2 MiB, growth %3 MiB (goal <= 90 MiB)"_s.arg(before, 0, 'f', 1)
                     .arg(after, 0, 'f', 1)
                     .arg(after - before, 0, 'f', 1)));
    return 0;
}

} // namespace
} // namespace lumi

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int settleMs = 40;
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype at = arguments.indexOf(u"--settle-ms"_s); at >= 0 && at + 1 < arguments.size())
        settleMs = arguments.at(at + 1).toInt();
    return lumi::run(settleMs);
}
