#include "support/wallpaper/RotationRig.h"

#include "model/Album.h"
#include "model/LogStore.h"
#include "model/User.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

constexpr int settleTimeoutMs = 30'000;
const QString apiPrefix = u"/api/v6"_s;

} // namespace

RotationRig::RotationRig()
    : clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0))), defaults(Defaults::shared()), screens(displays(1))
{
    token = sandbox.signInToken();
    api.setToken(token);
    account.setHasSessionToken(true);
    account.setUser(User::fromJson(sandbox.call("GET", u"users"_s, token).json()[u"user"_s]));
    account.setAlbums(AlbumsResponse::fromJson(sandbox.call("GET", u"albums"_s, token).json())
                          .value_or(AlbumsResponse())
                          .albums);
    account.setAlbumsLoaded(true);
    library.folder = sandbox.homePath() + u"/Documents/Lumivale/Lumivale Wallpaper"_s;
    sandbox.clearRequests();
}

RotationRig::~RotationRig()
{
    if (m_engine) {
        m_applier->release();
        settle();
        m_engine.reset();
    }
    // Sleepers the engine cancelled wake on the next turn, while the clock still exists.
    QCoreApplication::processEvents();
}

RotationEngine& RotationRig::engine()
{
    if (!m_engine) {
        auto applier = std::make_unique<RecordingApplier>();
        m_applier = applier.get();
        m_engine = std::make_unique<RotationEngine>(
            RotationEngine::Services{account, clock, defaults, api, screens, wake, library, events},
            std::move(applier));
        QObject::connect(m_engine.get(), &RotationEngine::alertRaised,
                         [this](const QString& alert) { alerts.append(alert); });
    }
    return *m_engine;
}

RotationEngine& RotationRig::restart()
{
    if (m_engine) {
        m_applier->release();
        settle();
        m_engine.reset();
        QCoreApplication::processEvents();
    }
    return engine();
}

bool RotationRig::settle()
{
    if (!m_engine)
        return true;
    QCoreApplication::processEvents();
    return QTest::qWaitFor([this] { return m_engine->runningTasks() == 0; }, settleTimeoutMs);
}

bool RotationRig::advance(std::chrono::milliseconds by)
{
    clock.advance(by);
    return settle();
}

bool RotationRig::change(bool userInitiated)
{
    bool changed = false;
    auto run = [](RotationEngine& engine, bool userInitiated, bool& changed) -> QCoro::Task<void> {
        changed = co_await engine.changeWallpaper(userInitiated);
    };
    run(engine(), userInitiated, changed);
    settle();
    return changed;
}

QStringList RotationRig::requestLines()
{
    QStringList lines;
    const QJsonArray requests = sandbox.requests();
    for (const QJsonValue& entry : requests) {
        const QString path = entry[u"path"_s].toString();
        if (!path.startsWith(apiPrefix))
            continue;
        QString line = entry[u"method"_s].toString() + u' ' + path.mid(apiPrefix.size());
        if (entry[u"hasQuery"_s].toBool())
            line += u'?' + entry[u"query"_s].toString();
        lines.append(line);
    }
    sandbox.clearRequests();
    return lines;
}

Album RotationRig::addPlaylist(const QString& title, const QStringList& uuids)
{
    Album album = Album::fromJson(sandbox.call("POST", u"albums"_s, token, {{u"playlist"_s, title}}).json())
                      .value_or(Album());
    for (const QString& uuid : uuids)
        sandbox.call("POST", u"albums/"_s + album.titleFragment, token, {{u"uuid"_s, uuid}});
    album.includeInPaper = true;
    account.setAlbums(account.albums() + QList<Album>{album});
    sandbox.clearRequests();
    return album;
}

QStringList RotationRig::logLines(const QString& category)
{
    QFile file(LogStore::shared().filePath());
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString marker = u" ["_s + category + u"] "_s;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 2)
            lines.append(line.mid(at - 1, 1) + u' ' + line.mid(at + marker.size()));
    }
    return lines;
}

QList<DisplayInfo> RotationRig::displays(int count)
{
    QList<DisplayInfo> list;
    for (int i = 0; i < count; ++i)
        list.append(FakeScreens::display(u"D%1"_s.arg(i + 1), QRect(i * 1920, 0, 1920, 1080)));
    return list;
}

} // namespace lumi::test
