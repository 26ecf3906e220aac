#include "support/state/ModelHarness.h"

#include "library/DataDirectory.h"
#include "library/LibraryLayout.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "model/SessionTokenFile.h"
#include "platform/Paths.h"
#include "support/state/RunTask.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

constexpr int settleTimeoutMs = 30'000;
const QString apiPrefix = u"/api/v6/"_s;

} // namespace

ModelHarness::ModelHarness(QStringList sandboxArguments)
    : sandbox(std::move(sandboxArguments)), defaults(Defaults::shared()),
      autostart(QCoreApplication::applicationFilePath(), Paths::autostartFile())
{
    sync.root = LibraryLayout::at(DataDirectory::current(defaults)).playlistRoot;
}

ModelHarness::~ModelHarness()
{
    if (m_model) {
        settle();
        m_playlists.reset();
        m_saver.reset();
        m_guidance.reset();
        m_settings.reset();
        m_catalog.reset();
        m_model.reset();
    }
    // Sleepers the model cancelled wake on the next turn, while the clock still exists.
    QCoreApplication::processEvents();
}

AppModel& ModelHarness::model()
{
    if (!m_model) {
        // Each launch starts with an empty account, as the app does.
        m_account = std::make_unique<Account>();
        m_model = std::make_unique<AppModel>(ModelServices{
            .account = *m_account,
            .clock = clock,
            .defaults = defaults,
            .api = api,
            .rotation = rotation,
            .sync = sync,
            .idle = idle,
            .shortcuts = shortcuts,
            .player = player,
            .window = window,
            .events = events,
            .notifications = notifications,
            .takeover = takeover,
            .autostart = autostart,
            .links = links,
            .screens = screens,
        });
        m_settings = std::make_unique<SettingsSync>(SettingsSync::Services{
            .model = *m_model,
            .account = *m_account,
            .defaults = defaults,
            .notifications = notifications,
            .autostart = autostart,
            .events = events,
            .rotation = rotation,
        });
        m_guidance = std::make_unique<Guidance>(*m_model, *m_account, clock, window, events, *m_settings);
        m_catalog = std::make_unique<CatalogPages>(*m_model, *m_account, clock, api, sync);
        m_saver = std::make_unique<SaverLauncher>(*m_model, *m_catalog, *m_account, clock, api, sync, player);
    }
    return *m_model;
}

CatalogPages& ModelHarness::catalog()
{
    model();
    return *m_catalog;
}

SaverLauncher& ModelHarness::saver()
{
    model();
    return *m_saver;
}

SettingsSync& ModelHarness::settings()
{
    model();
    return *m_settings;
}

Guidance& ModelHarness::guidance()
{
    model();
    return *m_guidance;
}

PlaylistEditor& ModelHarness::playlists()
{
    if (!m_playlists) {
        m_playlists = std::make_unique<PlaylistEditor>(PlaylistEditor::Services{
            .model = model(),
            .guidance = guidance(),
            .api = api,
            .defaults = defaults,
            .sync = sync,
            .rotation = rotation,
            .events = events,
            .pickers = pickers,
            .trash = trash,
        });
    }
    return *m_playlists;
}

AppModel& ModelHarness::relaunch()
{
    if (m_model) {
        settle();
        m_playlists.reset();
        m_saver.reset();
        m_catalog.reset();
        m_guidance.reset();
        m_settings.reset();
        m_model.reset();
        QCoreApplication::processEvents();
    }
    api.setToken(std::nullopt);
    return model();
}

bool ModelHarness::settle()
{
    if (!m_model)
        return true;
    // Deliver what is already queued (woken sleepers, finished replies) before looking.
    QCoreApplication::processEvents();
    return QTest::qWaitFor([this] { return m_model->runningTasks() == 0; }, settleTimeoutMs);
}

bool ModelHarness::advance(std::chrono::milliseconds by)
{
    clock.advance(by);
    return settle();
}

QString ModelHarness::leaveSession(const QString& email, const QString& password, bool cacheUser)
{
    const QString token = sandbox.signInToken(email, password);
    if (!SessionTokenFile::save(token))
        qWarning("the session token of %s was not saved", qPrintable(email));
    if (cacheUser) {
        const QJsonObject user =
            sandbox.call("GET", u"users"_s, token).json().toObject().value(u"user"_s).toObject();
        defaults.setValue(keys::user, QJsonDocument(user).toJson(QJsonDocument::Compact));
    }
    sandbox.clearRequests();
    return token;
}

AppModel& ModelHarness::launchSignedIn(const QString& email, const QString& password)
{
    leaveSession(email, password, true);
    model().launch();
    settle();
    sandbox.clearRequests();
    journal.clear();
    return model();
}

void ModelHarness::signIn(const QString& email, const QString& password)
{
    const std::exception_ptr failure = runTask(model().signIn(email, password));
    if (failure)
        std::rethrow_exception(failure);
    settle();
}

QJsonArray ModelHarness::apiRequests()
{
    QJsonArray kept;
    for (const QJsonValue& entry : sandbox.requests()) {
        const QString path = entry[u"path"_s].toString();
        if (!path.startsWith(apiPrefix) || path == apiPrefix + u"crashes"_s ||
            path == apiPrefix + u"events"_s)
            continue;
        kept.append(entry);
    }
    return kept;
}

QJsonArray ModelHarness::apiRequests(const QString& method, const QString& path)
{
    QJsonArray kept;
    for (const QJsonValue& entry : apiRequests()) {
        if (entry[u"method"_s] == method && entry[u"path"_s] == apiPrefix + path)
            kept.append(entry);
    }
    return kept;
}

QStringList ModelHarness::requestLines()
{
    QStringList lines;
    for (const QJsonValue& entry : apiRequests()) {
        QString line =
            entry[u"method"_s].toString() + u' ' + entry[u"path"_s].toString().mid(apiPrefix.size() - 1);
        if (entry[u"hasQuery"_s].toBool())
            line += u'?' + entry[u"query"_s].toString();
        lines.append(line);
    }
    return lines;
}

QJsonObject ModelHarness::bodyOf(const QJsonValue& request)
{
    return QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object();
}

QList<Medium> ModelHarness::catalogPhotos(int count, int page)
{
    const QString path = u"media/classic/latest?page=%1&per_page=%2"_s.arg(page).arg(count);
    const SandboxFixture::Reply reply = sandbox.call("GET", path, model().sessionToken().value_or(QString()));
    const std::optional<MediaResponse> answer = MediaResponse::fromJson(reply.json());
    sandbox.clearRequests();
    return answer ? answer->media.value_or(QList<Medium>()) : QList<Medium>();
}

PlaceQuery ModelHarness::featuredPlace()
{
    const QJsonObject featured = sandbox.call("GET", u"places"_s, model().sessionToken().value_or(QString()))
                                     .json()[u"featured"_s][0]
                                     .toObject();
    sandbox.clearRequests();
    return PlaceQuery{.country = featured[u"country_slug"_s].toString(),
                      .region = featured[u"region_slug"_s].toString(),
                      .place = featured[u"slug"_s].toString()};
}

Album ModelHarness::album(const QString& fragment)
{
    for (const Album& held : model().account().albums()) {
        if (held.titleFragment == fragment)
            return held;
    }
    return Album();
}

QStringList ModelHarness::appLogLines() const
{
    QFile file(LogStore::shared().filePath());
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QString marker = u" [app] "_s;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const qsizetype at = line.indexOf(marker);
        if (at >= 0)
            lines.append(line.mid(at + marker.size()));
    }
    return lines;
}

} // namespace lumi::test
