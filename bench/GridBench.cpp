// The photo grid over a collection of 5,000 photos (the sandbox's --bulk-collection) in an
// offscreen 1280x800 window with automatic columns: scrolls to the end one viewport at a time,
// loading pages as the last tile comes into view, then back to the top. Prints the longest stall of
// the GUI thread (the largest gap between ticks of a 1 ms timer), the 95th-percentile time of one
// viewport repaint per step (goal <= 16.7 ms), the peak bytes of decoded thumbnails (bound 64 MiB),
// the most tiles alive, and the resident size before the grid and after the run (goal: growth
// <= 100 MiB).
//
//   bench/grid [--settle-ms N]   (how long each step lets thumbnails arrive; 40 by default)

#include "browser/PhotoGrid.h"
#include "browser/ThumbnailLoader.h"
#include "support/FakeScreens.h"
#include "support/browser/RecordingPhotoSheets.h"
#include "support/browser/RecordingRevealer.h"
#include "support/state/ModelHarness.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace lumi {
namespace {

void print(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

qint64 rssKiB()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
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
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_longest = std::max(m_longest, m_clock.restart());
        });
        m_clock.start();
        m_timer.start(1);
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

int run(int settleMs)
{
    test::ModelHarness harness({u"--bulk-collection"_s});
    harness.launchSignedIn();
    test::FakeScreens screens{{test::FakeScreens::display(u"LEFT"_s, QRect(0, 0, 1920, 1080))}};
    test::RecordingPhotoSheets sheets;
    test::RecordingRevealer revealer;
    ThumbnailLoader thumbnails(harness.api.network());
    const qint64 before = rssKiB();

    PhotoGrid grid(GridServices{harness.model(), harness.catalog(), harness.playlists(), harness.guidance(),
                                harness.defaults, screens, harness.links, revealer, sheets, thumbnails,
                                harness.clock},
                   Source{Source::Category{u"channels/bulk"_s, u"Bulk"_s}}, GridColumns::automatic);
    grid.resize(1280, 800);
    grid.show();
    runFor(20000, [&] { return !grid.isLoading() && !grid.media().isEmpty(); });

    StallWatch stalls;
    std::vector<double> paints;
    int mostCells = 0;
    QScrollBar* bar = grid.verticalScrollBar();
    auto step = [&](int to) {
        bar->setValue(to);
        runFor(settleMs, [&] { return false; });
        if (grid.isLoading())
            runFor(20000, [&] { return !grid.isLoading(); });
        QElapsedTimer paint;
        paint.start();
        grid.viewport()->repaint();
        paints.push_back(double(paint.nsecsElapsed()) / 1e6);
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
    const qint64 after = rssKiB();

    print(u"photos loaded: %1 in %2 steps of one viewport"_s.arg(grid.media().size()).arg(steps));
    print(u"longest GUI-thread stall: %1 ms"_s.arg(stalls.longestMs()));
    print(u"paint per step: p95 %1 ms, median %2 ms (goal <= 16.7 ms)"_s.arg(percentile(paints, 0.95), 0, 'f', 2)
              .arg(percentile(paints, 0.5), 0, 'f', 2));
    print(u"decoded thumbnails: peak %1 MiB (bound 64 MiB)"_s.arg(double(thumbnails.peakBytes()) / 1048576.0, 0, 'f', 1));
    print(u"tiles alive: at most %1, at the end %2"_s.arg(mostCells).arg(grid.cellCount()));
    print(u"RSS: before %1 MiB, after %2 MiB, growth %3 MiB (goal <= 100 MiB)"_s.arg(before / 1024)
              .arg(after / 1024)
              .arg((after - before) / 1024));
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
