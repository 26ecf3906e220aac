#include "support/library/SyncHarness.h"

#include "support/LogLines.h"

#include "library/PhotoFileNames.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "model/User.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi::test {

namespace {

constexpr int finishTimeoutMs = 120'000;

} // namespace

SyncHarness::SyncHarness(SandboxFixture& sandboxFixture)
    : sandbox(sandboxFixture), photoDirectory(home.path() + u"/Photos"_s)
{
    sandbox.reset();
    setDisplay(display(1280, 1024));
    const QString token = sandbox.signInToken();
    api.setToken(token);
    account.setHasSessionToken(true);
    account.setUser(User::fromJson(sandbox.call("GET", u"users"_s, token).json()[u"user"_s]));
    account.setAlbums(AlbumsResponse::fromJson(sandbox.call("GET", u"albums"_s, token).json())
                          .value_or(AlbumsResponse{})
                          .albums);
    account.setAlbumsLoaded(true);
    sandbox.clearRequests();
    QDir().mkpath(photoDirectory);
    Defaults::shared().setValue(keys::dataDir, photoDirectory);
}

SyncHarness::~SyncHarness()
{
    relaunch();
}

void SyncHarness::relaunch()
{
    if (m_sync) {
        m_sync->cancelSync();
        finish();
        m_sync.reset();
    }
    // Sleepers cancelled above wake on the next turn, while the clock still exists.
    QCoreApplication::processEvents();
}

PlaylistSync& SyncHarness::sync()
{
    if (!m_sync) {
        m_sync = std::make_unique<PlaylistSync>(PlaylistSync::Services{
            .account = account,
            .defaults = Defaults::shared(),
            .api = api,
            .screens = screens,
            .clock = clock,
            .reporter = reporter,
        });
        QObject::connect(m_sync.get(), &PlaylistSync::poolFoldersChanged, [this] { ++poolResets; });
    }
    return *m_sync;
}

bool SyncHarness::finish()
{
    QCoreApplication::processEvents();
    return QTest::qWaitFor(
        [this] {
            if (sync().isIdle())
                return true;
            if (clock.sleeperCount() > 0)
                clock.advance(1s);
            return false;
        },
        finishTimeoutMs);
}

bool SyncHarness::runPass(bool force)
{
    sync().requestSync(0ms, force);
    return finish();
}

QStringList SyncHarness::listedNames(const QString& fragment, bool sorted)
{
    const SandboxFixture::Reply reply =
        sandbox.call("GET", u"media/playlists/"_s + fragment + u"?page=1&per_page=500"_s, *api.token());
    QStringList names;
    for (const Medium& photo :
         MediaResponse::fromJson(reply.json()).value_or(MediaResponse{}).media.value_or(QList<Medium>()))
        names.append(PhotoFileNames::photoFileName(photo).value_or(QString()));
    if (sorted)
        names.sort();
    sandbox.clearRequests();
    return names;
}

void SyncHarness::setDisplay(QSize pixels)
{
    screens.setDisplays({FakeScreens::display(u"DP-1"_s, QRect(QPoint(0, 0), pixels))});
}

QStringList SyncHarness::syncLines() const
{
    return logLines(u"sync"_s);
}

void SyncHarness::forgetLog()
{
    QFile::remove(LogStore::shared().filePath());
}

QStringList SyncHarness::requestLines()
{
    QStringList lines;
    for (const QJsonValue& entry : sandbox.requests()) {
        QString line = entry[u"method"_s].toString() + u' ' + entry[u"path"_s].toString();
        if (entry[u"hasQuery"_s].toBool())
            line += u'?' + entry[u"query"_s].toString();
        lines.append(line);
    }
    return lines;
}

QStringList SyncHarness::cdnRequests()
{
    return requestLines().filter(u" /cdn/"_s);
}

QStringList SyncHarness::listingRequests()
{
    return requestLines().filter(u" /api/v6/media/playlists/"_s);
}

QStringList SyncHarness::photoNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList({u"*.jpg"_s, u"*.jpeg"_s, u"*.JPG"_s, u"*.JPEG"_s},
                                               QDir::Files | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QStringList SyncHarness::entries(const QString& folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

bool SyncHarness::writeJpeg(const QString& path, QSize size)
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    return image.save(path, "JPEG", 90);
}

} // namespace lumi::test
