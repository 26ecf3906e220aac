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

#include "library/PlaylistSync.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/Medium.h"
#include "platform/linux/SystemClock.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/SandboxFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

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
void waitUntil(const std::function<bool()>& done)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    if (!done())
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

int run(int photos, int rounds, bool paced)
{
    test::SandboxFixture sandbox({u"--bulk-collection"_s});
    if (!sandbox.isRunning()) {
        print(u"sandbox failed: "_s + sandbox.errorString());
        return 1;
    }
    const QString token = sandbox.signInToken();
    const QJsonArray catalog =
        sandbox.call("GET", u"media/channels/bulk?page=1&per_page=%1"_s.arg(photos), token).json()[u"media"_s].toArray();
    if (catalog.size() < photos) {
        print(u"the sandbox's bulk collection holds fewer than %1 photos"_s.arg(photos));
        return 1;
    }

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
        print(u"round %1: raw fetch %2, into files %3, first pass %4, second pass %5"_s.arg(round + 1).arg(
            milliseconds(raw.last()), milliseconds(rawToFiles.last()), milliseconds(first.last()),
            milliseconds(noOp.last())));
    }

    print(u"photos: %1 at %2 (%3 MiB), median of %4 rounds"_s.arg(downloaded)
              .arg(variant.left(9))
              .arg(double(bytes) / 1048576.0, 0, 'f', 1)
              .arg(rounds));
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
        print(u"first pass, real clock (one round):  %1 = %2 paced + %3 overhead"_s.arg(milliseconds(real.firstMs),
                                                                                       milliseconds(floorMs),
                                                                                       milliseconds(real.firstMs - floorMs)));
        print(u"second pass (nothing to do):         %1"_s.arg(milliseconds(real.noOpMs)));
    }
    return 0;
}

} // namespace
} // namespace lumi

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const auto number = [&arguments](const QString& option, int fallback) {
        const qsizetype at = arguments.indexOf(option);
        return at >= 0 && at + 1 < arguments.size() ? std::max(1, arguments[at + 1].toInt()) : fallback;
    };
    return lumi::run(std::min(number(u"--photos"_s, 500), lumi::bulkSize), number(u"--rounds"_s, 5),
                     !arguments.contains(u"--skip-paced"_s));
}
