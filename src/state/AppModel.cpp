#include "state/AppModel.h"

#include "model/APIClient.h"
#include "model/Clock.h"
#include "state/ObservedValue.h"
#include "state/WallpaperRotation.h"

using namespace Qt::StringLiterals;

namespace lumi {

AppModel::AppModel(ModelServices services, QObject* parent)
    : ErrorSink(parent), m_account(services.account), m_clock(services.clock), m_defaults(services.defaults),
      m_api(services.api), m_rotation(services.rotation), m_sync(services.sync), m_idle(services.idle),
      m_shortcuts(services.shortcuts), m_player(services.player), m_window(services.window),
      m_events(services.events), m_notifications(services.notifications), m_takeover(services.takeover),
      m_autostart(services.autostart), m_links(services.links), m_screens(services.screens)
{
    // The menu's offline line follows every request, whoever made it.
    connect(&m_api, &APIClient::unreachable, this, [this] { setOffline(true); });
    connect(&m_api, &APIClient::answered, this, [this] { setOffline(false); });
}

AppModel::~AppModel()
{
    // Sleepers wake on the next event-loop turn and find the model gone.
    if (m_refreshLoop)
        m_refreshLoop->cancel();
    if (m_retries)
        m_retries->cancel();
}

// --- Observed setters ---------------------------------------------------------------------------

void AppModel::setPhase(Phase phase)
{
    assignObserved(*this, m_phase, phase, &AppModel::phaseChanged);
}
void AppModel::setUser(std::optional<User> user)
{
    m_account.setUser(std::move(user));
}
void AppModel::setAlbums(QList<Album> albums)
{
    m_account.setAlbums(std::move(albums));
}

void AppModel::setCategories(QList<Category> categories)
{
    assignObserved(*this, m_categories, std::move(categories), &AppModel::categoriesChanged);
}

void AppModel::setFavoriteUUIDs(QSet<QString> uuids)
{
    assignObserved(*this, m_favoriteUUIDs, std::move(uuids), &AppModel::favoriteUUIDsChanged);
}

void AppModel::setOffline(bool offline)
{
    assignObserved(*this, m_offline, offline, &AppModel::offlineChanged);
}
void AppModel::setAlert(std::optional<QString> alert)
{
    assignObserved(*this, m_alert, std::move(alert), &AppModel::alertChanged);
}

void AppModel::setBanner(std::optional<ServerAlert> banner)
{
    assignObserved(*this, m_banner, std::move(banner), &AppModel::bannerChanged);
}

void AppModel::setAskLoginItem(bool ask)
{
    assignObserved(*this, m_askLoginItem, ask, &AppModel::askLoginItemChanged);
}

void AppModel::setElectronNoticeRequested(bool requested)
{
    assignObserved(*this, m_electronNoticeRequested, requested, &AppModel::electronNoticeRequestedChanged);
}

void AppModel::noteWindowShown()
{
    ++m_windowShown;
    emit windowShownChanged();
}

void AppModel::setSessionToken(std::optional<QString> token)
{
    assignObserved(*this, m_sessionToken, std::move(token), &AppModel::sessionTokenChanged);
    m_api.setToken(m_sessionToken);
    m_account.setHasSessionToken(m_sessionToken.has_value());
}

// --- Computed -----------------------------------------------------------------------------------

std::optional<Album> AppModel::favoritesAlbum() const
{
    for (const Album& album : m_account.albums()) {
        if (album.isFavorites())
            return album;
    }
    return std::nullopt;
}

QList<Album> AppModel::playlists() const
{
    QList<Album> result;
    for (const Album& album : m_account.albums()) {
        if (album.titleFragment != u"favorites"_s)
            result.append(album);
    }
    return result;
}

// --- Tasks and errors ---------------------------------------------------------------------------

bool AppModel::Session::isCurrent() const
{
    return model && model->m_generation == generation;
}

bool AppModel::isStillSignedIn(const Session& session) const
{
    return session.isCurrent() && m_account.isSignedIn();
}

AppModel::Work::Work(AppModel* model) : m_model(model)
{
    if (!m_model)
        return;
    ++m_model->m_runningTasks;
    emit m_model->runningTasksChanged();
}

AppModel::Work::~Work()
{
    if (!m_model)
        return;
    --m_model->m_runningTasks;
    emit m_model->runningTasksChanged();
}

void AppModel::spawn(QCoro::Task<void> task, bool counted)
{
    // The returned task is dropped on purpose: settle is where it ends.
    settle(session(), std::move(task), counted);
}

QCoro::Task<void> AppModel::settle(Session session, QCoro::Task<void> task, bool counted)
{
    std::exception_ptr failure;
    {
        const Work work(counted ? session.model.data() : nullptr);
        try {
            co_await task;
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure && session.isCurrent())
        session.model->handleError(failure, false);
}

void AppModel::handleError(const std::exception& error, bool quiet)
{
    if (const auto* apiError = dynamic_cast<const APIError*>(&error)) {
        switch (apiError->kind()) {
        case APIError::Kind::Network:
            setOffline(true);
            return;
        case APIError::Kind::Unauthorized:
            m_log.info(u"token rejected; signing out"_s);
            signOut();
            return;
        default:
            if (!quiet)
                setAlert(apiError->userMessage());
            return;
        }
    }
    if (!quiet)
        setAlert(QString::fromLocal8Bit(error.what()));
}

void AppModel::handleError(std::exception_ptr error, bool quiet)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        handleError(caught, quiet);
    } catch (...) {
        if (!quiet)
            setAlert(tr("Something went wrong."));
    }
}

void AppModel::handleActionError(const std::exception& error)
{
    handleError(error, false);
    const auto* apiError = dynamic_cast<const APIError*>(&error);
    if (apiError && apiError->kind() == APIError::Kind::Network)
        setAlert(offlineActionMessage());
}

void AppModel::handleActionError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& caught) {
        handleActionError(caught);
    } catch (...) {
        handleError(std::current_exception(), false);
    }
}

QString AppModel::offlineActionMessage()
{
    return tr("Can't reach Lumivale, so nothing was changed. Check your internet connection and try again.");
}

std::chrono::milliseconds AppModel::retryDelay(int retry)
{
    constexpr std::chrono::milliseconds first = std::chrono::seconds(30);
    // 30 s, 1, 2, 4 … minutes: doubling stops at the refresh period, long before an overflow.
    std::chrono::milliseconds delay = first;
    for (int i = 0; i < retry && delay < refreshPeriod; ++i)
        delay *= 2;
    return std::min<std::chrono::milliseconds>(delay, refreshPeriod);
}

void AppModel::keepTrying(std::function<QCoro::Task<bool>(bool atLongestWait)> attempt)
{
    if (m_retries)
        m_retries->cancel();
    m_retries = CancelToken();
    spawn(retryCycles(std::move(attempt), *m_retries), false);
}

QCoro::Task<void> AppModel::retryCycles(std::function<QCoro::Task<bool>(bool atLongestWait)> attempt,
                                        CancelToken cancel)
{
    const QPointer<AppModel> self(this);
    Clock& clock = m_clock;
    for (int retry = 0;; ++retry) {
        const std::chrono::milliseconds delay = retryDelay(retry);
        if (!co_await clock.sleep(delay, cancel) || !self || cancel.isCancelled())
            co_return;
        const Work work(self);
        if (co_await attempt(delay >= refreshPeriod) || !self || cancel.isCancelled())
            co_return;
    }
}

bool AppModel::hasAgedBeyond(const std::optional<std::chrono::milliseconds>& since,
                             std::chrono::milliseconds limit) const
{
    return !since || m_clock.bootTime() - *since > limit;
}

void AppModel::resetPhotoPools()
{
    m_rotation.setPoolKey(QString());
}

} // namespace lumi
