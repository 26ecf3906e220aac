#include "state/CatalogPages.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "model/MediaQuery.h"
#include "state/AppModel.h"
#include "state/ModelSession.h"

#include <QCoroFuture>
#include <QPromise>

using namespace Qt::StringLiterals;

namespace lumi {

CatalogPages::CatalogPages(AppModel& model, const Account& account, Clock& clock, APIClient& api,
                           const SyncScheduler& sync, QObject* parent)
    : QObject(parent), m_model(model), m_account(account), m_clock(clock), m_api(api), m_sync(sync)
{
}

CatalogPages::~CatalogPages() = default;

ModelSession CatalogPages::session() const
{
    return ModelSession(m_model, *this);
}

void CatalogPages::setPlacesTree(std::optional<PlacesTree> tree)
{
    m_placesTree = std::move(tree);
    emit placesTreeChanged();
}

void CatalogPages::setPlacesFailed(bool failed)
{
    if (m_placesFailed == failed)
        return;
    m_placesFailed = failed;
    emit placesFailedChanged();
}

QCoro::Task<void> CatalogPages::loadPlaces(bool force)
{
    if (!force) {
        if (m_placesTree && m_placesLoadedAt && m_clock.bootTime() - *m_placesLoadedAt <= placesAgeLimit)
            co_return;
        // The browser and the places view both ask as places open: one request serves both.
        if (m_placesLoad && !m_placesLoad->isFinished()) {
            const QFuture<void> running = *m_placesLoad;
            co_await running;
            co_return;
        }
    }
    QPromise<void> done;
    done.start();
    m_placesLoad = done.future();
    co_await requestPlaces();
    done.finish();
}

QCoro::Task<void> CatalogPages::requestPlaces()
{
    const ModelSession session = this->session();
    try {
        APIRequest call{u"GET"_s, u"places"_s, {}, std::nullopt, true, {}};
        PlacesTree tree = co_await m_api.request<PlacesTree>(std::move(call));
        if (!session.isCurrent())
            co_return;
        setPlacesTree(std::move(tree));
        m_placesLoadedAt = m_clock.bootTime();
        setPlacesFailed(false);
    } catch (const std::exception& error) {
        if (session.isCurrent()) {
            // An older tree stays shown.
            setPlacesFailed(!m_placesTree);
            m_model.handleError(error, true);
        }
    }
}

QCoro::Task<QList<Medium>> CatalogPages::fetchMediaPage(MediaQuery query)
{
    const ModelSession session = this->session();
    QList<Medium> media;
    try {
        media = co_await m_api.mediaPage(query);
    } catch (const std::exception& error) {
        if (session.isCurrent())
            m_model.handleError(error, true);
        throw;
    }
    // A page asked for by an ended session has no place in the next one.
    if (!session.isCurrent())
        co_return QList<Medium>();

    // Local photos come with the last page of a plain playlist listing, all at once.
    if (query.listsPlaylist() && !query.search && media.size() < query.perPage) {
        for (const Album& album : m_account.albums()) {
            if (MediaQuery::playlistPath(album.titleFragment) == query.path) {
                media += m_sync.albumMedia(album);
                break;
            }
        }
    }
    if (media.isEmpty() && query.page == 1 && !query.search && !query.listsPlaylist())
        m_model.refreshUserIfStale();
    co_return media;
}

QCoro::Task<QList<Medium>> CatalogPages::fetchPlacesPage(PlaceQuery place, int page, int perPage,
                                                         bool withDescription)
{
    // Named before it is awaited: GCC destroys a temporary of a co_await expression twice.
    MediaQuery query{
        .page = page, .perPage = perPage, .withDescription = withDescription, .place = std::move(place)};
    co_return co_await fetchMediaPage(std::move(query));
}

} // namespace lumi
