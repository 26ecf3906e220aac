#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "platform/Autostart.h"
#include "platform/Paths.h"
#include "state/AppTakeover.h"
#include "state/DailyNotifications.h"
#include "state/DeviceRecord.h"
#include "state/EventSink.h"
#include "state/IdleWatch.h"
#include "state/ShortcutRegistry.h"
#include "state/UrlCache.h"
#include "state/WallpaperRotation.h"
#include "state/WindowPresenter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

APIRequest userRequest()
{
    return APIRequest{u"GET"_s, u"users"_s, {}, std::nullopt, true, {}};
}

} // namespace

void AppModel::launch()
{
    // Disk only: Qt's network cache has no separate memory tier.
    m_api.network().setCache(
        new UrlCache(APIClient::baseURL(), Paths::httpCacheFolder(), diskCacheBytes, &m_api.network()));

    // Consent is recorded only while this computer really starts us at login: the flag is never
    // cleared, so recording it unconditionally would let a "yes" from another computer switch
    // autostart on here.
    if (m_autostart.isEnabled())
        m_defaults.setValue(keys::loginItemConsent, true);

    setSessionToken(SessionTokenFile::load());
    if (std::optional<User> cached = cachedUser())
        setUser(std::move(*cached));

    if (m_sessionToken && !m_account.user()) {
        m_log.info(u"launch: session token without a cached user; reading the user"_s);
        spawn(restoreUser());
        return;
    }
    if (m_account.isSignedIn()) {
        m_log.info(u"launch: session restored"_s);
        setPhase(Phase::ready);
        // The shortcuts work from the start, also when the service answers only much later.
        applyShortcuts(*m_account.user());
        spawn(startSequence());
        return;
    }
    m_log.info(u"launch: signed out"_s);
    setPhase(Phase::signedOut);
    m_window.showMainWindow();
}

std::optional<User> AppModel::cachedUser() const
{
    const std::optional<QByteArray> data = m_defaults.bytesValue(keys::user);
    if (!data)
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(*data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return User::fromJson(document.object());
}

void AppModel::storeUser(const User& user)
{
    m_defaults.setValue(keys::user, QJsonDocument(user.toJson()).toJson(QJsonDocument::Compact));
}

QCoro::Task<void> AppModel::restoreUser()
{
    m_restoreFailureShown = false;
    if (!co_await tryRestoreUser(false))
        keepTrying([this](bool atLongestWait) { return tryRestoreUser(atLongestWait); });
}

QCoro::Task<bool> AppModel::tryRestoreUser(bool atLongestWait)
{
    const Session session = this->session();
    std::optional<User> user;
    bool rejected = false;
    std::exception_ptr refusal;
    try {
        const UserResponse answer = co_await m_api.request<UserResponse>(userRequest());
        user = answer.user;
    } catch (const APIError& error) {
        rejected = error.kind() == APIError::Kind::Unauthorized;
        // An answer that is no 401 may never change; an outage ends by itself.
        if (!rejected && error.kind() != APIError::Kind::Network)
            refusal = std::current_exception();
    } catch (const std::exception&) {
        // Not reported: the session stays and the next try may read it.
    }
    if (!session.isCurrent())
        co_return true;
    if (rejected) {
        m_log.info(u"launch: the token was rejected; signing in again"_s);
        SessionTokenFile::remove();
        setSessionToken(std::nullopt);
        setPhase(Phase::signedOut);
        m_window.showMainWindow();
        co_return true;
    }
    // Only the service's own refusal ends a session: an outage or a broken answer does not.
    if (!user) {
        m_log.info(u"launch: the user could not be read; trying again later"_s);
        // Said once the retries have slowed to their longest wait: until then it may pass.
        if (refusal && atLongestWait && !m_restoreFailureShown) {
            m_restoreFailureShown = true;
            handleError(refusal, false);
        }
        co_return false;
    }
    applyUser(std::move(*user));
    setPhase(Phase::ready);
    m_window.showMainWindow();
    spawn(startSequence());
    co_return true;
}

QCoro::Task<void> AppModel::startSequence()
{
    const Session session = this->session();
    m_events.start();
    co_await refreshToken();
    if (!session.isCurrent())
        co_return;
    co_await updateDevice();
    if (!session.isCurrent())
        co_return;

    // Begun together, awaited in this order.
    QCoro::Task<void> categories = loadCategories();
    QCoro::Task<void> albums = reloadAlbums(false);
    QCoro::Task<void> favorites = loadFavoriteUUIDs();
    co_await categories;
    co_await albums;
    co_await favorites;
    if (!session.isCurrent())
        co_return;
    if (!startDataLoaded())
        keepTrying([this](bool) { return loadMissingStartData(); });

    // Replaces the delayed request the album load has just made.
    m_sync.requestSync(0ms, false);
    co_await loadAlerts();
    if (!session.isCurrent())
        co_return;

    m_takeover.postReplacedEvent();
    m_rotation.start();
    m_idle.start();
    m_notifications.start();
    observeActivation();
    startRefreshLoop();
    m_log.info(u"start sequence done"_s);
}

bool AppModel::startDataLoaded() const
{
    return m_categoriesLoaded && m_account.albumsLoaded() && m_favoritesLoaded;
}

QCoro::Task<bool> AppModel::loadMissingStartData()
{
    const Session session = this->session();
    if (!m_categoriesLoaded)
        co_await loadCategories();
    if (session.isCurrent() && !m_account.albumsLoaded())
        co_await reloadAlbums(false);
    if (session.isCurrent() && !m_favoritesLoaded)
        co_await loadFavoriteUUIDs();
    if (!session.isCurrent())
        co_return true;
    if (startDataLoaded())
        m_log.info(u"start data loaded on a retry"_s);
    co_return startDataLoaded();
}

QCoro::Task<void> AppModel::refreshToken()
{
    const Session session = this->session();
    try {
        const RefreshResponse answer = co_await m_api.refreshToken();
        if (!session.isCurrent())
            co_return;
        if (answer.token && !answer.token->isEmpty()) {
            if (!SessionTokenFile::save(*answer.token))
                m_log.error(u"the refreshed token lasts until quit: it was not saved"_s);
            setSessionToken(*answer.token);
            m_log.info(u"token refreshed"_s);
        }
        m_tokenRefreshedAt = m_clock.bootTime();
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, true);
    }
}

QCoro::Task<void> AppModel::updateDevice()
{
    return adoptUser(m_api.updateUser(DeviceRecord::fields(m_defaults, m_screens)));
}

QCoro::Task<void> AppModel::adoptUser(QCoro::Task<UserResponse> request, bool reloadChangedPlaylists)
{
    const Session session = this->session();
    try {
        const UserResponse answer = co_await request;
        if (!session.isCurrent())
            co_return;
        applyUser(answer.user, reloadChangedPlaylists);
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
}

void AppModel::applyUser(User user)
{
    applyUser(std::move(user), true);
}

void AppModel::applyUser(User user, bool reloadChangedPlaylists)
{
    const bool playlistsChanged = reloadChangedPlaylists && m_account.user() &&
                                  m_account.user()->playlistsUpdatedAt != user.playlistsUpdatedAt;
    setUser(user);
    storeUser(user);
    // Before the phase is ready (restore, sign-in) the start sequence applies the user again.
    if (m_phase != Phase::ready)
        return;
    if (playlistsChanged)
        spawn(reloadAlbums(false));
    if (!m_api.token())
        return;
    applyShortcuts(user);
}

void AppModel::applyShortcuts(const User& user)
{
    if (user.flagList().contains(u"no-shortcuts"_s))
        m_shortcuts.unregisterAll();
    else
        m_shortcuts.registerShortcuts();
}

void AppModel::refreshUserIfStale()
{
    if (!m_account.isSignedIn() || !hasAgedBeyond(m_userCheckedAt, userStaleness))
        return;
    m_userCheckedAt = m_clock.bootTime();
    spawn(refreshUser());
}

QCoro::Task<void> AppModel::refreshUser()
{
    if (m_account.isSignedIn())
        co_await adoptUser(m_api.request<UserResponse>(userRequest()));
}

QCoro::Task<void> AppModel::refreshUserAndAlbums()
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    // The addition changed the user's playlist stamp; the forced reload below covers that, so
    // the user's own reload would only fetch the albums a second time.
    co_await adoptUser(m_api.request<UserResponse>(userRequest()), false);
    if (session.isCurrent())
        co_await reloadAlbums(true);
}

void AppModel::observeActivation()
{
    m_observingActivation = true;
}

void AppModel::applicationActivated()
{
    if (m_observingActivation)
        refreshUserIfStale();
}

void AppModel::startRefreshLoop()
{
    if (m_refreshLoop)
        m_refreshLoop->cancel();
    m_refreshLoop = CancelToken();
    spawn(refreshCycles(*m_refreshLoop), false);
}

QCoro::Task<void> AppModel::refreshCycles(CancelToken cancel)
{
    const QPointer<AppModel> self(this);
    Clock& clock = m_clock;
    const auto goOn = [&] { return self && !cancel.isCancelled(); };
    while (true) {
        // A cancelled sleep ends the loop: sign-out or a newer loop took over.
        if (!co_await clock.sleepAcrossSuspend(refreshPeriod, cancel) || !goOn())
            co_return;
        const Work work(self);
        if (self->m_account.isSignedIn() && self->hasAgedBeyond(self->m_tokenRefreshedAt, tokenAgeLimit))
            co_await self->refreshToken();
        if (!goOn())
            co_return;
        co_await self->refreshUser();
        if (!goOn())
            co_return;
        co_await self->reloadAlbums(false);
        if (!goOn())
            co_return;
        co_await self->loadAlerts();
    }
}

} // namespace lumi
