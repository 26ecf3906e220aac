#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "platform/LinkOpener.h"
#include "state/WallpaperRotation.h"

#include <QCollator>
#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Banner links open only on the service's own site.
const QString serviceDomain = u"lumivale.com"_s;

bool isServiceLink(const QUrl& url)
{
    if (!url.isValid() || url.scheme() != u"https"_s)
        return false;
    const QString host = url.host();
    return host == serviceDomain || host.endsWith(u'.' + serviceDomain);
}

} // namespace

QCoro::Task<void> AppModel::loadCategories()
{
    const Session session = this->session();
    try {
        APIRequest call{u"GET"_s, u"configuration/categories"_s, {}, std::nullopt, false, {}};
        QList<Category> categories = co_await m_api.request<QList<Category>>(std::move(call));
        if (session.isCurrent()) {
            setCategories(std::move(categories));
            m_categoriesLoaded = true;
        }
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
}

QCoro::Task<void> AppModel::reloadAlbums(bool force)
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    try {
        const QMap<QString, QString> query{{u"page"_s, u"1"_s}, {u"per_page"_s, u"500"_s}};
        APIRequest call{u"GET"_s, u"albums"_s, query, std::nullopt, true, {}};
        AlbumsResponse answer = co_await m_api.request<AlbumsResponse>(std::move(call));
        if (session.isCurrent())
            applyAlbums(std::move(answer.albums), force);
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, false);
    }
}

void AppModel::applyAlbums(QList<Album> albums, bool force)
{
    std::stable_sort(albums.begin(), albums.end(), &AppModel::albumOrder);
    setAlbums(std::move(albums));
    m_account.setAlbumsLoaded(true);
    m_rotation.setPoolKey(QString());
    m_sync.requestSync(albumSyncDelay, force);
}

bool AppModel::albumOrder(const Album& a, const Album& b)
{
    const bool aFavorites = a.isFavorites();
    const bool bFavorites = b.isFavorites();
    if (aFavorites != bFavorites)
        return aFavorites;
    const bool aRecommended = a.externalId == u"system-recommended"_s;
    const bool bRecommended = b.externalId == u"system-recommended"_s;
    if (aRecommended != bRecommended)
        return aRecommended;
    static const QCollator collator = [] {
        QCollator made;
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator.compare(a.title, b.title) < 0;
}

QCoro::Task<void> AppModel::loadFavoriteUUIDs()
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    try {
        QSet<QString> uuids = co_await m_api.fetchFavoriteUUIDs();
        if (session.isCurrent()) {
            setFavoriteUUIDs(std::move(uuids));
            m_favoritesLoaded = true;
        }
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, true);
    }
}

QCoro::Task<void> AppModel::loadAlerts()
{
    if (!m_account.isSignedIn())
        co_return;
    const Session session = this->session();
    std::optional<ServerAlert> alert;
    try {
        APIRequest call{u"GET"_s, u"alerts"_s, {}, std::nullopt, true, {}};
        alert = (co_await m_api.request<AlertsResponse>(std::move(call))).alert;
    } catch (const std::exception&) {
        // A missing banner is no reason to bother the user.
        co_return;
    }
    if (!session.isCurrent() || !alert || !alert->uuid)
        co_return;

    const QString uuid = *alert->uuid;
    if (uuid == u"onboarding"_s || uuid == u"getting_started"_s) {
        // Once per session: the user may clear the flag and must not see it again.
        if (m_alertsHandled.contains(uuid))
            co_return;
        m_alertsHandled.insert(uuid);
        if (uuid == u"onboarding"_s)
            emit onboardingArrived();
        else
            emit tourArrived();
        co_return;
    }
    if (uuid.isEmpty() || uuid == u"completed"_s)
        co_return;
    if (alert->title.value_or(QString()).isEmpty() &&
        alert->lines.value_or(QStringList()).join(u' ').isEmpty())
        co_return;
    setBanner(std::move(alert));
}

QCoro::Task<void> AppModel::acknowledgeAlert()
{
    const Session session = this->session();
    try {
        APIRequest call{u"POST"_s, u"alerts"_s, {}, std::nullopt, true, {}};
        co_await m_api.send(std::move(call));
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, true);
    }
}

void AppModel::dismissBanner(bool openLink)
{
    if (!m_banner)
        return;
    const std::optional<QString> link = m_banner->link;
    setBanner(std::nullopt);
    if (openLink && link) {
        const QUrl url(*link, QUrl::StrictMode);
        if (isServiceLink(url))
            m_links.open(url);
    }
    spawn(acknowledgeAlert());
}

} // namespace lumi
