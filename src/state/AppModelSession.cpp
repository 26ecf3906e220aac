#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Blanks.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/DeviceInfo.h"
#include "model/SessionTokenFile.h"
#include "state/DailyNotifications.h"
#include "state/DeviceRecord.h"
#include "state/EventSink.h"
#include "state/IdleWatch.h"
#include "state/SaverPlayer.h"
#include "state/ShortcutRegistry.h"
#include "state/WallpaperRotation.h"
#include "state/WindowPresenter.h"

using namespace Qt::StringLiterals;

namespace lumi {

QCoro::Task<void> AppModel::signIn(QString email, QString password)
{
    const QPointer<AppModel> self(this);
    SignInResponse answer = co_await m_api.signIn(Blanks::trimmed(email), password);
    if (self)
        co_await self->finishSignIn(std::move(answer));
}

QCoro::Task<void> AppModel::createAccount(QString firstName, QString lastName, QString email,
                                          QString password, bool createSampler)
{
    const QPointer<AppModel> self(this);
    const QJsonObject user{
        {u"first_name"_s, Blanks::trimmed(firstName)},
        {u"last_name"_s, Blanks::trimmed(lastName)},
        {u"email"_s, Blanks::trimmed(email)},
        {u"password"_s, password},
    };
    const DeviceInfo::HardwareIdentifiers identifiers = DeviceInfo::hardwareIdentifiers();
    const QJsonObject body{
        {u"user"_s, user},
        {u"app"_s, DeviceRecord::app()},
        {u"desktop_build"_s, DeviceRecord::build()},
        {u"desktop_arch"_s, DeviceRecord::architecture()},
        {u"desktop_version"_s, DeviceInfo::appVersion()},
        {u"os_uuid"_s, identifiers.uuid},
        {u"fingerprint"_s, DeviceInfo::fingerprint(identifiers, m_defaults)},
        {u"create_sampler"_s, createSampler},
    };
    APIRequest call{u"POST"_s, u"users"_s, {}, body, false, {}};
    SignInResponse answer = co_await m_api.request<SignInResponse>(std::move(call));
    if (self)
        co_await self->finishSignIn(std::move(answer));
}

QCoro::Task<void> AppModel::finishSignIn(SignInResponse response)
{
    // A new session: whatever the previous one still receives is dropped.
    ++m_generation;
    const Session session = this->session();
    if (!SessionTokenFile::save(response.token))
        m_log.error(u"signed in until quit only: the session token was not saved"_s);
    setSessionToken(response.token);
    applyUser(std::move(response.user));
    setPhase(Phase::ready);
    m_log.info(u"signed in"_s);
    if (m_defaults.boolValue(keys::askedLoginItem) != true)
        setAskLoginItem(true);
    co_await startSequence();
    if (!session.isCurrent() || m_rotation.nowShowing())
        co_return;
    // The first wallpaper is set at once rather than at the next tick.
    co_await m_rotation.changeWallpaper(true);
}

QCoro::Task<void> AppModel::changePassword(QString newPassword)
{
    if (!m_account.user() || !m_account.user()->email)
        co_return;
    const QString email = *m_account.user()->email;
    const Session session = this->session();
    co_await m_api.changePassword(newPassword);
    if (!session.isCurrent())
        co_return;
    SignInResponse answer = co_await m_api.signIn(email, newPassword);
    if (!session.isCurrent())
        co_return;
    if (!SessionTokenFile::save(answer.token))
        m_log.error(u"the new session token lasts until quit: it was not saved"_s);
    setSessionToken(answer.token);
    applyUser(std::move(answer.user));
}

QCoro::Task<QString> AppModel::deleteAccount()
{
    const Session session = this->session();
    APIRequest call{u"DELETE"_s, u"users"_s, {}, std::nullopt, true, {}};
    const DeleteAccountResponse answer = co_await m_api.request<DeleteAccountResponse>(std::move(call));
    if (session.isCurrent())
        signOut();
    co_return answer.status;
}

void AppModel::signOut()
{
    // Everything still under way for the ending session is dropped from here on.
    ++m_generation;
    if (m_refreshLoop)
        m_refreshLoop->cancel();
    if (m_retries)
        m_retries->cancel();
    m_categoriesLoaded = false;
    m_favoritesLoaded = false;
    m_rotation.stop();
    m_rotation.reset();
    m_sync.cancelSync();
    m_idle.stop();
    m_notifications.stop();
    m_shortcuts.unregisterAll();
    m_events.startNewSession();
    m_player.stop();
    SessionTokenFile::remove();

    setSessionToken(std::nullopt);
    setUser(std::nullopt);
    setAlbums({});
    m_account.setAlbumsLoaded(false);
    setFavoriteUUIDs({});
    setBanner(std::nullopt);
    m_alertsHandled.clear();

    m_defaults.remove(keys::user);
    setPhase(Phase::signedOut);
    m_log.info(u"signed out"_s);
    m_window.showMainWindow();
}

} // namespace lumi
