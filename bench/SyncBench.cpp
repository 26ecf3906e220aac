// A first full sync pass over N different photos (500 by default, at most 5,000: the sandbox's bulk
// collection) in playlists of 500 at 2560x1440 from the sandbox on loopback, then the pass with
// nothing to do, against one plain sequential HTTP loop fetching the same photo variants. The
// sandbox draws each variant once, before the first round; every measured run reads its cache.
//
// The first pass runs with a clock whose waits end at once, which takes out the downloader's pacing
// of one second per photo and leaves the pass's own cost, in R rounds; then once with the real
// clock, as built (unless --skip-paced), reported as N x 1 s plus the overhead beyond it. Figures
// are medians over the rounds.
//
//   bench/sync [--photos N] [--rounds R] [--skip-paced]
//
// With --relaunch, the first "Next Wallpaper" after a relaunch instead, at 500 and at 5,000 photos
// (playlists of 500, marked for the wallpaper, synced at 1280x1024 on two 1280x1024 displays). Per
// round: a new sync and rotation over the same home, as a launch makes them; the launch's first
// pass, which finds nothing changed; a pause; then the first change, timed from the call to its end
// through the real wallpaper service (decode, compose, encode) and a recording setter. The same
// round without the stored listings shows what the change costs when it lists every playlist from
// the service. Medians over the rounds.
//
//   bench/sync --relaunch [--rounds R] [--pause SECONDS]

#include "ResidentMemory.h"
#include "library/LibraryFiles.h"
#include "library/LibraryLayout.h"
#include "library/PhotoFileNames.h"
#include "library/PlaylistFolders.h"
#include "library/PlaylistSync.h"
#include "library/StoredListings.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/Medium.h"
#include "platform/linux/SystemClock.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/FakeWakeWatcher.h"
#include "support/FakeWallpaperSetter.h"
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
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {
namespace {

constexpr int bulkSize = 5000;
constexpr int playlistSize = 500;
const QString variant = u"2560x1440c1.jpg"_s;

/// The real clocks, except that every wait ends at once.
class NoWaitClock final : public Clock
{
public:
    QDateTime now() const override { return m_clock.now(); }
    std::chrono::milliseconds monotonic() const override { return m_clock.monotonic(); }
    std::chrono::milliseconds bootTime() const override { return m_clock.bootTime(); }
    QCoro::Task<bool> sleep(std::chrono::milliseconds, CancelToken token) override
    {
        co_return !token.isCancelled();
    }
    QCoro::Task<bool> sleepAcrossSuspend(std::chrono::milliseconds, CancelToken token) override
    {
        co_return !token.isCancelled();
    }

private:
    SystemClock m_clock;
};

void print(const QString& line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Bench-only helper: waits in a local loop (the app never does this).
bool waitUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QTimer limit;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(1);
    limit.start(30min);
    if (!done())
        loop.exec();
    return done();
}

void pause(std::chrono::milliseconds length)
{
    QEventLoop loop;
    QTimer::singleShot(length, &loop, &QEventLoop::quit);
    loop.exec();
}

// One GET after the other; the total body bytes. With a folder, each body is also written to a
// file of its own there.
qint64 fetchSequentially(QNetworkAccessManager& network, const QList<QUrl>& urls, const QString& folder = {})
{
    qint64 bytes = 0;
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    for (qsizetype i = 0; i < urls.size(); ++i) {
        QNetworkReply* reply = network.get(QNetworkRequest(urls[i]));
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!reply->isFinished())
            loop.exec();
        const QByteArray body = reply->readAll();
        bytes += body.size();
        if (!folder.isEmpty()) {
            QFile file(folder + u'/' + QString::number(i) + u".jpg"_s);
            if (file.open(QIODevice::WriteOnly))
                file.write(body);
        }
        reply->deleteLater();
    }
    return bytes;
}

struct PassFigures
{
    double firstMs = 0;
    double noOpMs = 0;
    int downloaded = 0;
};

PassFigures runPasses(Clock& clock, APIClient& api, const Account& account, const QString& folder)
{
    Defaults& defaults = Defaults::shared();
    for (const QString& key : {keys::syncState, keys::syncDirty, keys::syncFormat, keys::syncPlaylistTitles,
                               keys::syncLinkedDownloads, keys::syncLocalLook, keys::syncLocalSources})
        defaults.remove(key);
    QDir().mkpath(folder);
    defaults.setValue(keys::dataDir, folder);

    test::FakeScreens screens({test::FakeScreens::display(u"DP-1"_s, QRect(0, 0, 2560, 1440))});
    CrashReporter reporter;
    PlaylistSync sync(PlaylistSync::Services{account, defaults, api, screens, clock, reporter});

    PassFigures figures;
    QElapsedTimer timer;
    timer.start();
    sync.requestSync(0ms, false);
    waitUntil([&] { return sync.isIdle(); });
    figures.firstMs = double(timer.nsecsElapsed()) / 1e6;
    figures.downloaded = sync.done();

    timer.restart();
    sync.requestSync(0ms, false);
    waitUntil([&] { return sync.isIdle(); });
    figures.noOpMs = double(timer.nsecsElapsed()) / 1e6;
    return figures;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

QString milliseconds(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 2 : 1) + u" ms"_s;
}

QString loadAverage()
{
    return QString::number(bench::machineLoad(), 'f', 2);
}

// The first photos of the sandbox's bulk collection; none, after a line saying why, when it can't
// give them.
QJsonArray bulkPhotos(test::SandboxFixture& sandbox, const QString& token, int photos)
{
    if (!sandbox.isRunning()) {
        print(u"sandbox failed: "_s + sandbox.errorString());
        return {};
    }
    const QJsonArray catalog =
        sandbox.call("GET", u"media/channels/bulk?page=1&per_page=%1"_s.arg(photos), token)
            .json()[u"media"_s]
            .toArray();
    if (catalog.size() < photos) {
        print(u"the sandbox's bulk collection holds fewer than %1 photos"_s.arg(photos));
        return {};
    }
    return catalog;
}

int run(int photos, int rounds, bool paced)
{
    test::SandboxFixture sandbox({u"--bulk-collection"_s});
    const QString token = sandbox.signInToken();
    const QJsonArray catalog = bulkPhotos(sandbox, token, photos);
    if (catalog.isEmpty())
        return 1;

    // Playlists of up to 500 photos, marked for the wallpaper.
    Account account;
    account.setHasSessionToken(true);
    account.setUser(User::fromJson(sandbox.call("GET", u"users"_s, token).json()[u"user"_s]));
    QList<Album> albums;
    QList<QUrl> urls;
    for (int first = 0, number = 1; first < photos; first += playlistSize, ++number) {
        const int count = std::min(playlistSize, photos - first);
        const test::SandboxFixture::Reply created =
            sandbox.call("POST", u"albums"_s, token,
                         QJsonObject{{u"playlist"_s, u"Bench %1"_s.arg(number)}, {u"local"_s, u""_s}});
        std::optional<Album> album = Album::fromJson(created.json());
        if (!album) {
            print(u"could not create a playlist"_s);
            return 1;
        }
        for (int i = 0; i < count; ++i) {
            const QJsonObject photo = catalog[first + i].toObject();
            sandbox.call("POST", u"albums/"_s + album->titleFragment, token,
                         QJsonObject{{u"uuid"_s, photo[u"uuid"_s]}});
            urls.append(QUrl(photo[u"secure_base_url"_s].toString() + variant));
        }
        album->includeInPaper = true;
        album->count = count;
        albums.append(*album);
    }
    account.setAlbums(std::move(albums));
    account.setAlbumsLoaded(true);

    QNetworkAccessManager network;
    const qint64 bytes = fetchSequentially(network, urls); // drawn once here
    CrashReporter reporter;
    APIClient api(reporter);
    api.setToken(token);
    const QString home = sandbox.homePath();
    NoWaitClock noWait;

    // Rounds, each one of every kind, so that the machine's ups and downs hit all of them.
    QList<double> raw;
    QList<double> rawToFiles;
    QList<double> first;
    QList<double> noOp;
    int downloaded = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        fetchSequentially(network, urls);
        raw.append(double(timer.nsecsElapsed()) / 1e6);

        const QString rawFolder = home + u"/Raw"_s;
        timer.restart();
        fetchSequentially(network, urls, rawFolder);
        rawToFiles.append(double(timer.nsecsElapsed()) / 1e6);
        QDir(rawFolder).removeRecursively();

        const QString photoFolder = home + u"/Photos"_s;
        const PassFigures figures = runPasses(noWait, api, account, photoFolder);
        first.append(figures.firstMs);
        noOp.append(figures.noOpMs);
        downloaded = figures.downloaded;
        QDir(photoFolder).removeRecursively();
        print(
            u"round %1: raw fetch %2, into files %3, first pass %4, second pass %5, load %6"_s.arg(round + 1)
                .arg(milliseconds(raw.last()), milliseconds(rawToFiles.last()), milliseconds(first.last()),
                     milliseconds(noOp.last()), loadAverage()));
    }

    print(u"photos: %1 at %2 (%3 MiB), median of %4 rounds, load %5"_s.arg(downloaded)
              .arg(variant.left(9))
              .arg(double(bytes) / 1048576.0, 0, 'f', 1)
              .arg(rounds)
              .arg(loadAverage()));
    print(u"raw sequential fetch:                %1"_s.arg(milliseconds(median(raw))));
    print(u"raw sequential fetch into files:     %1"_s.arg(milliseconds(median(rawToFiles))));
    print(u"first pass, pacing off:              %1 = %2x the raw fetch, %3x the fetch into files"_s
              .arg(milliseconds(median(first)))
              .arg(median(first) / median(raw), 0, 'f', 2)
              .arg(median(first) / median(rawToFiles), 0, 'f', 2));
    print(u"second pass (nothing to do):         %1"_s.arg(milliseconds(median(noOp))));

    if (paced) {
        SystemClock system;
        const PassFigures real = runPasses(system, api, account, home + u"/Photos-paced"_s);
        // Every download takes at least one second, so N photos take N seconds at the least.
        const double floorMs = 1000.0 * real.downloaded;
        print(u"first pass, real clock (one round):  %1 = %2 paced + %3 overhead"_s.arg(
            milliseconds(real.firstMs), milliseconds(floorMs), milliseconds(real.firstMs - floorMs)));
        print(u"second pass (nothing to do):         %1"_s.arg(milliseconds(real.noOpMs)));
    }
    return 0;
}

/// One launch of the sync and the rotation, wired as the application wires them.
class Launch final
{
public:
    Launch(const Account& account, APIClient& api, Clock& clock, test::FakeScreens& screens,
           const QString& photos)
    {
        m_sync = std::make_unique<PlaylistSync>(
            PlaylistSync::Services{account, Defaults::shared(), api, screens, clock, m_reporter});
        m_synced = std::make_unique<LibrarySyncedPhotos>(photos, *m_sync, Defaults::shared());
        auto service =
            std::make_unique<WallpaperService>(api.network(), m_setter, clock, m_reporter, *m_synced);
        m_engine =
            std::make_unique<RotationEngine>(RotationEngine::Services{account, clock, Defaults::shared(), api,
                                                                      screens, m_wake, *m_sync, m_events},
                                             std::move(service));
        QObject::connect(m_sync.get(), &PlaylistSync::passCompleted, m_engine.get(),
                         &RotationEngine::rebuildPool);
        QObject::connect(m_sync.get(), &PlaylistSync::listingsRestored, m_engine.get(),
                         &RotationEngine::rebuildPool);
    }

    bool pass()
    {
        m_sync->requestSync(0ms, false);
        return waitUntil([this] { return m_sync->isIdle(); });
    }

    /// Milliseconds of one change; negative when it failed.
    double change()
    {
        bool changed = false;
        QElapsedTimer timer;
        timer.start();
        [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
            changed = co_await engine.changeWallpaper(true);
        }(*m_engine, changed);
        const bool settled = waitUntil([this] { return m_engine->runningTasks() == 0; });
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (!changed || !settled) {
            print(u"change failed: "_s + m_engine->lastError().value_or(QString()));
            return -1;
        }
        return ms;
    }

    qsizetype synced() const { return m_sync->paperIndex().size(); }
    qsizetype pooled() const { return m_engine->pool().photos().size(); }

private:
    CrashReporter m_reporter;
    test::FakeWallpaperSetter m_setter;
    test::FakeWakeWatcher m_wake;
    test::CallJournal m_journal;
    test::RecordingEvents m_events{m_journal};
    std::unique_ptr<PlaylistSync> m_sync;
    std::unique_ptr<LibrarySyncedPhotos> m_synced;
    std::unique_ptr<RotationEngine> m_engine;
};

struct Figures
{
    double launchPass = 0;
    double stored = 0;
    double listed = 0;
};

// A sandbox of its own per size, so the service lists exactly these playlists.
std::optional<Figures> measure(int photos, int rounds, std::chrono::milliseconds pauseLength)
{
    test::SandboxFixture sandbox({u"--bulk-collection"_s});
    const QString token = sandbox.signInToken();
    const QJsonArray catalog = bulkPhotos(sandbox, token, photos);
    if (catalog.isEmpty())
        return std::nullopt;
    // The demo account's own playlists stay unmarked: the pool is the bench's playlists alone.
    const QJsonArray own = sandbox.call("GET", u"albums"_s, token).json()[u"albums"_s].toArray();
    const auto include = [&](const QString& title, const QString& type, bool included) {
        sandbox.call("PUT", u"albums/include"_s, token,
                     QJsonObject{{u"type"_s, type}, {u"playlist"_s, title}, {u"included"_s, included}});
    };
    for (const QJsonValue& album : own) {
        include(album[u"title"_s].toString(), u"paper"_s, false);
        include(album[u"title"_s].toString(), u"saver"_s, false);
    }
    const QString photoFolder = sandbox.homePath() + u"/Photos"_s;
    const LibraryLayout layout = LibraryLayout::at(photoFolder);
    // One variant drawn by the sandbox stands in for every photo, put in place beforehand, so the
    // sandbox need not draw thousands: the first pass only links them.
    QNetworkAccessManager network;
    const QString drawn = sandbox.homePath() + u"/Drawn"_s;
    fetchSequentially(network,
                      {QUrl(catalog[0].toObject()[u"secure_base_url"_s].toString() + u"1280x1024c1.jpg"_s)},
                      drawn);
    for (int first = 0, number = 1; first < photos; first += playlistSize, ++number) {
        const test::SandboxFixture::Reply created =
            sandbox.call("POST", u"albums"_s, token,
                         QJsonObject{{u"playlist"_s, u"Bench %1"_s.arg(number)}, {u"local"_s, u""_s}});
        const std::optional<Album> album = Album::fromJson(created.json());
        const std::optional<QString> folder =
            album ? PlaylistFolders::playlistFolder(layout.playlistRoot, album->title) : std::nullopt;
        if (!folder) {
            print(u"could not create a playlist"_s);
            return std::nullopt;
        }
        QDir().mkpath(*folder);
        for (int i = first; i < std::min(first + playlistSize, photos); ++i) {
            const QJsonObject photo = catalog[i].toObject();
            sandbox.call("POST", u"albums/"_s + album->titleFragment, token,
                         QJsonObject{{u"uuid"_s, photo[u"uuid"_s]}});
            const std::optional<Medium> medium = Medium::fromJson(photo);
            const std::optional<QString> name =
                medium ? PhotoFileNames::photoFileName(*medium) : std::nullopt;
            if (!name || LibraryFiles::linkNew(drawn + u"/0.jpg"_s, *folder + u'/' + *name) != 0) {
                print(u"could not put photo %1 in place"_s.arg(i));
                return std::nullopt;
            }
        }
        include(album->title, u"paper"_s, true);
    }

    Account account;
    account.setHasSessionToken(true);
    account.setUser(User::fromJson(sandbox.call("GET", u"users"_s, token).json()[u"user"_s]));
    account.setAlbums(
        AlbumsResponse::fromJson(sandbox.call("GET", u"albums?page=1&per_page=500"_s, token).json())
            .value_or(AlbumsResponse())
            .albums);
    account.setAlbumsLoaded(true);
    CrashReporter reporter;
    APIClient api(reporter);
    api.setToken(token);
    NoWaitClock clock;
    test::FakeScreens screens({test::FakeScreens::display(u"DP-1"_s, QRect(0, 0, 1280, 1024)),
                               test::FakeScreens::display(u"DP-2"_s, QRect(1280, 0, 1280, 1024))});
    QDir().mkpath(photoFolder);
    Defaults::shared().setValue(keys::dataDir, photoFolder);

    {
        Launch first(account, api, clock, screens, photoFolder);
        if (!first.pass() || first.synced() < photos) {
            print(u"the first pass synced %1 of %2 photos"_s.arg(first.synced()).arg(photos));
            return std::nullopt;
        }
    }
    const QString listings = StoredListings::defaultFile();
    QFile::copy(listings, listings + u".kept"_s);

    QList<double> launchPass;
    QList<double> stored;
    QList<double> listed;
    for (int round = 0; round < rounds; ++round) {
        for (const bool keep : {true, false}) {
            QFile::remove(listings);
            if (keep)
                QFile::copy(listings + u".kept"_s, listings);
            Launch launch(account, api, clock, screens, photoFolder);
            QElapsedTimer timer;
            timer.start();
            if (!launch.pass())
                return std::nullopt;
            const double passMs = double(timer.nsecsElapsed()) / 1e6;
            pause(pauseLength);
            const double ms = launch.change();
            if (ms < 0)
                return std::nullopt;
            if (keep) {
                launchPass.append(passMs);
                stored.append(ms);
            } else {
                listed.append(ms);
            }
            print(
                u"  %1 photos, round %2, %3: launch's pass %4 ms, first change %5 ms (pool of %6), load %7"_s
                    .arg(photos)
                    .arg(round + 1)
                    .arg(keep ? u"stored listings"_s : u"no stored listings"_s)
                    .arg(passMs, 0, 'f', 1)
                    .arg(ms, 0, 'f', 1)
                    .arg(launch.pooled())
                    .arg(loadAverage()));
        }
    }
    return Figures{median(launchPass), median(stored), median(listed)};
}

int runRelaunch(int rounds, std::chrono::milliseconds pauseLength)
{
    QList<std::pair<int, Figures>> results;
    for (const int photos : {500, 5000}) {
        const std::optional<Figures> figures = measure(photos, rounds, pauseLength);
        if (!figures)
            return 1;
        results.append({photos, *figures});
    }
    print(u"first change after a relaunch, median of %1 rounds, %2 s pause, load %3:"_s.arg(rounds)
              .arg(pauseLength.count() / 1000.0)
              .arg(loadAverage()));
    for (const auto& [photos, figures] : std::as_const(results)) {
        print(
            u"  %1 photos: %2 ms from the stored listings (launch's pass %3 ms), %4 ms listing from the service"_s
                .arg(photos, 5)
                .arg(figures.stored, 0, 'f', 1)
                .arg(figures.launchPass, 0, 'f', 1)
                .arg(figures.listed, 0, 'f', 1));
    }
    print(u"  5,000 / 500 with stored listings: %1x"_s.arg(
        results[1].second.stored / results[0].second.stored, 0, 'f', 2));
    return 0;
}

} // namespace
} // namespace lumi

int main(int argc, char** argv)
{
    // A GUI application: the relaunch's changes compose pictures with text. Without a display it
    // draws offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const auto number = [&arguments](const QString& option, int fallback) {
        const qsizetype at = arguments.indexOf(option);
        return at >= 0 && at + 1 < arguments.size() ? std::max(0, arguments[at + 1].toInt()) : fallback;
    };
    if (arguments.contains(u"--relaunch"_s))
        return lumi::runRelaunch(std::max(1, number(u"--rounds"_s, 5)),
                                 std::chrono::seconds(number(u"--pause"_s, 3)));
    return lumi::run(std::min(std::max(1, number(u"--photos"_s, 500)), lumi::bulkSize),
                     std::max(1, number(u"--rounds"_s, 5)), !arguments.contains(u"--skip-paced"_s));
}
