// Frame times of the saver's effects at 4K, and the loader's memory.
//
//     saver                 every effect through a transition and a steady stretch at 3840x2160:
//                           mean and worst frame, once offscreen on one core, once through the
//                           window's own painting (all cores), once through a window on a 4K
//                           Xvfb (xcb: the painting, the copy to the X server and its round
//                           trip); each with the machine's load (1-minute average) as it was
//                           measured. Then 60 distinct 5120x2880 files through the loader for a
//                           3840x2160 display: the cache's bytes and the RSS, before and after
//                           the player stops.
//     saver EFFECT...       the same for the named effects only, without the loader.
//     saver --frames DIR    one PNG per effect at mid-transition (the faller with its first
//                           prints on their way down), from sandbox photos.

#include "ResidentMemory.h"
#include "model/Defaults.h"
#include "player/PhotoImageSource.h"
#include "player/PhotoLoader.h"
#include "player/PlayerModel.h"
#include "player/PlayerStage.h"
#include "player/windows/StageWidget.h"
#include "support/ManualClock.h"
#include "support/PrivateXServer.h"
#include "support/SandboxFixture.h"
#include "support/library/SyncHarness.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using namespace lumi;

namespace {

constexpr QSize screen(3840, 2160);
constexpr int steadyFrames = 30;
constexpr auto frameStep = 16ms;

// Something like a photo: soft gradients and shapes.
QImage photoLike(QSize size, int seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 120, 220));
    sky.setColorAt(1, QColor::fromHsv((seed * 47 + 90) % 360, 160, 90));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(quint32(seed + 1));
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 140, 60 + random.bounded(180)));
        painter.setPen(Qt::NoPen);
        const int r = 20 + random.bounded(size.width() / 8);
        painter.drawEllipse(QPoint(random.bounded(size.width()), random.bounded(size.height())), r, r);
    }
    return image;
}

/// Ready-made images by photo: the cost measured is the effects', not the loading's.
class PreparedPhotos final : public PhotoImageSource
{
public:
    QCoro::Task<std::optional<QImage>> image(Medium medium, bool) override
    {
        co_return images.value(medium.uuid);
    }
    // Prepared once for every run.
    void clear() override {}

    QList<Medium> media;
    QHash<QString, QImage> images;
};

PreparedPhotos syntheticPhotos()
{
    PreparedPhotos photos;
    for (int i = 0; i < 12; ++i) {
        photos.media.append(Medium{.uuid = QString::number(i)});
        photos.images.insert(QString::number(i), photoLike(QSize(2560, 1440), i));
    }
    return photos;
}

struct Mode
{
    const char* name;
    PlayMode mode;
};

const Mode modes[] = {
    {"fader", PlayMode::saver(SaverEffect::fader)},
    {"slider", PlayMode::saver(SaverEffect::slider)},
    {"panner", PlayMode::saver(SaverEffect::kber)},
    {"reflections", PlayMode::saver(SaverEffect::reflections)},
    {"four-up", PlayMode::saver(SaverEffect::fourup)},
    {"faller", PlayMode::saver(SaverEffect::faller)},
    {"stories", PlayMode::infoshow()},
};

// The effects named on the command line, or all of them.
QList<Mode> chosenModes(const QStringList& names)
{
    QList<Mode> chosen;
    for (const Mode& mode : modes) {
        if (names.isEmpty() || names.contains(QString::fromLatin1(mode.name)))
            chosen.append(mode);
    }
    return chosen;
}

/// One mode playing on a manual clock: the model's first photo at 0, the change at the pause; the
/// faller, which paces itself, from its start, when its first prints are on their way down (at
/// the pause they have all just been replaced above the screen).
struct Player
{
    Player(const PlayMode& mode, PreparedPhotos& photos, const QString& defaultsPath) : defaults(defaultsPath)
    {
        QRandomGenerator random(1);
        PlaySettings settings;
        settings.pauseSeconds = 10;
        model = std::make_unique<PlayerModel>(mode, settings, PhotoQueue(photos.media, 0, false, random),
                                              true, photos, clock, defaults);
        stage = std::make_unique<PlayerStage>(*model);
        model->start(true);
        QCoreApplication::processEvents();
        // Into the first change: the pause of the clock-paced effects, a beat of four-up.
        if (mode.effect() != SaverEffect::faller)
            advance(10s);
        // Until the first photos have come (the faller's four, each awaited in turn).
        for (int turn = 0; turn < 100 && !stage->isMoving(clock.monotonic()); ++turn)
            QCoreApplication::processEvents();
    }

    ~Player()
    {
        stage.reset();
        model.reset();
    }

    void advance(std::chrono::milliseconds by)
    {
        clock.advance(by);
        QCoreApplication::processEvents();
    }

    test::ManualClock clock;
    Defaults defaults;
    std::unique_ptr<PlayerModel> model;
    std::unique_ptr<PlayerStage> stage;
};

struct Times
{
    double mean = 0;
    double worst = 0;
    double load = 0;
};

// Frames from the change through its transition (2 s covers the longest) and a steady stretch.
Times timeFrames(Player& player, const std::function<void()>& drawFrame)
{
    const int transitionFrames = int(2000ms / frameStep);
    double total = 0;
    double worst = 0;
    const int frames = transitionFrames + steadyFrames;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer timer;
        timer.start();
        drawFrame();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        total += ms;
        worst = std::max(worst, ms);
        player.clock.advance(frameStep);
    }
    return {total / frames, worst, bench::machineLoad()};
}

void pinToOneCore(bool pinned)
{
    cpu_set_t cores;
    CPU_ZERO(&cores);
    if (pinned) {
        CPU_SET(sched_getcpu(), &cores);
    } else {
        for (int core = 0; core < CPU_SETSIZE; ++core)
            CPU_SET(core, &cores);
    }
    // Every thread, the pool's too: one started while pinned would otherwise stay on that core
    // and serialise the window path's parallel work.
    const QStringList threads = QDir(u"/proc/self/task"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& thread : threads)
        sched_setaffinity(thread.toInt(), sizeof(cores), &cores);
}

Times windowFrames(const Mode& mode, PreparedPhotos& photos, const QString& scratch)
{
    Player player(mode.mode, photos, scratch + u"/window.json"_s);
    StageWidget widget(*player.stage, player.clock);
    widget.resize(screen);
    widget.show();
    QCoreApplication::processEvents();
    // On X the frame is not done until the server has it.
    return timeFrames(player, [&] {
        widget.repaint();
        QGuiApplication::sync();
    });
}

void printTimes(const Times& times)
{
    std::printf(" %6.1f mean %5.1f worst (load %4.1f)", times.mean, times.worst, times.load);
}

// The window path through a window on a 4K X server: this program again, on a private Xvfb.
QHash<QString, Times> xcbFrames(const QStringList& names)
{
    QHash<QString, Times> times;
    const test::PrivateXServer server({{u"4K"_s, QRect(QPoint(), screen)}});
    if (server.display().isEmpty()) {
        std::fprintf(stderr, "xcb: %s\n", qPrintable(server.error()));
        return times;
    }
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(server.display()));
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{u"--xcb-window"_s} + names);
    if (!child.waitForFinished(-1) || child.exitCode() != 0) {
        std::fprintf(stderr, "xcb: the run on the 4K Xvfb failed\n");
        return times;
    }
    // One line per effect: name, mean, worst, load.
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 4)
            times.insert(QString::fromLatin1(fields[0]),
                         Times{fields[1].toDouble(), fields[2].toDouble(), fields[3].toDouble()});
    }
    return times;
}

int benchXcbWindow(const QStringList& names, const QString& scratch)
{
    PreparedPhotos photos = syntheticPhotos();
    for (const Mode& mode : chosenModes(names)) {
        const Times times = windowFrames(mode, photos, scratch);
        std::printf("%s %.3f %.3f %.2f\n", mode.name, times.mean, times.worst, times.load);
    }
    return 0;
}

void benchFrames(const QStringList& names, const QString& scratch)
{
    // The pool sizes itself by the cores it may use when first asked: before any pinning.
    QThreadPool::globalInstance();
    PreparedPhotos photos = syntheticPhotos();

    std::printf("frame times at %dx%d in ms, with the 1-minute load average as each was taken; %d cores\n",
                screen.width(), screen.height(), QThread::idealThreadCount());
    std::printf("%-12s %-36s %-36s %s\n", "effect", "raster, 1 core", "window path, all cores",
                "xcb window, 4K Xvfb");
    const QHash<QString, Times> xcb = xcbFrames(names);
    for (const Mode& mode : chosenModes(names)) {
        Times raster;
        {
            pinToOneCore(true);
            Player player(mode.mode, photos, scratch + u"/raster.json"_s);
            QImage frame(screen, QImage::Format_RGB32);
            raster = timeFrames(player, [&] {
                QPainter painter(&frame);
                player.stage->paint(painter, QSizeF(screen), player.clock.monotonic());
            });
            pinToOneCore(false);
        }
        const Times window = windowFrames(mode, photos, scratch);
        std::printf("%-12s", mode.name);
        printTimes(raster);
        printTimes(window);
        if (const auto onX = xcb.constFind(QString::fromLatin1(mode.name)); onX != xcb.cend())
            printTimes(*onX);
        std::printf("\n");
        std::fflush(stdout);
    }
}

// Sandbox photos at the large variant, with their titles and stories.
std::optional<PreparedPhotos> sandboxPhotos()
{
    test::SandboxFixture sandbox;
    if (!sandbox.isRunning()) {
        std::fprintf(stderr, "sandbox: %s\n", qPrintable(sandbox.errorString()));
        return std::nullopt;
    }
    const QString token = sandbox.signInToken();
    const auto listing = MediaResponse::fromJson(
        sandbox.call("GET", u"media/classic/latest?per_page=12&with_description=true"_s, token).json());
    if (!listing || !listing->media || listing->media->isEmpty()) {
        std::fprintf(stderr, "sandbox: no photos listed\n");
        return std::nullopt;
    }
    PreparedPhotos photos;
    for (const Medium& medium : *listing->media) {
        const QImage image = QImage::fromData(sandbox.fetch("GET", *medium.largeImageURL()).body);
        if (image.isNull())
            continue;
        photos.media.append(medium);
        photos.images.insert(medium.uuid, image);
    }
    return photos;
}

// Each mode halfway through the change that comes at the pause.
int writeFrames(const QString& folder, const QString& scratch)
{
    std::optional<PreparedPhotos> photos = sandboxPhotos();
    if (!photos || !QDir().mkpath(folder))
        return 1;
    const QSize size(1920, 1080);
    for (const Mode& mode : modes) {
        Player player(mode.mode, *photos, scratch + u"/frames.json"_s);
        player.advance(Transition::forMode(mode.mode, 0ms).duration / 2);
        QImage frame(size, QImage::Format_RGB32);
        {
            QPainter painter(&frame);
            player.stage->paint(painter, QSizeF(size), player.clock.monotonic());
        }
        const QString path = QDir(folder).filePath(QString::fromLatin1(mode.name) + u".png"_s);
        if (!frame.save(path)) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}

void benchLoader()
{
    constexpr int photos = 60;
    test::SandboxFixture sandbox;
    test::SyncHarness harness(sandbox);
    harness.setDisplay(screen);
    QList<Medium> media;
    for (int i = 0; i < photos; ++i) {
        const QString path = harness.home.path() + u"/photo-%1.jpg"_s.arg(i);
        if (!test::SyncHarness::writeJpeg(path, QSize(5120, 2880)))
            return;
        media.append(Medium{.uuid = QString::number(i), .localPath = path});
    }
    const double before = bench::residentMiB();
    {
        PhotoLoader loader(harness.sync(), harness.api.network(), harness.screens);
        for (const Medium& photo : media)
            QCoro::waitFor(loader.image(photo, true));
        std::printf("\nloader, %d photos of 5120x2880 for a 3840x2160 display\n", photos);
        std::printf("  before        RSS %7.1f MiB\n", before);
        std::printf("  while playing RSS %7.1f MiB, cache %d images, %6.1f MiB\n", bench::residentMiB(),
                    loader.cache().count(), double(loader.cache().bytes()) / (1 << 20));
        loader.clear();
        std::printf("  stopped       RSS %7.1f MiB, cache %d images, %6.1f MiB\n", bench::residentMiB(),
                    loader.cache().count(), double(loader.cache().bytes()) / (1 << 20));
    }
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    QStringList arguments = app.arguments().mid(1);
    if (const qsizetype at = arguments.indexOf(u"--frames"_s); at >= 0) {
        if (at + 1 >= arguments.size()) {
            std::fprintf(stderr, "usage: saver [EFFECT...] | saver --frames DIR\n");
            return 2;
        }
        return writeFrames(arguments.at(at + 1), scratch.path());
    }
    const bool xcbWindow = arguments.removeAll(u"--xcb-window"_s) > 0;
    for (const QString& name : std::as_const(arguments)) {
        if (chosenModes({name}).isEmpty()) {
            std::fprintf(stderr, "no effect named %s; the effects:", qPrintable(name));
            for (const Mode& mode : modes)
                std::fprintf(stderr, " %s", mode.name);
            std::fprintf(stderr, "\n");
            return 2;
        }
    }
    if (xcbWindow)
        return benchXcbWindow(arguments, scratch.path());
    benchFrames(arguments, scratch.path());
    if (arguments.isEmpty())
        benchLoader();
    return 0;
}
