#include "state/AppModel.h"

#include "library/SyncScheduler.h"
#include "model/APIClient.h"
#include "model/Clock.h"
#include "model/MediaQuery.h"
#include "state/WallpaperRotation.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

bool isBlank(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

} // namespace

QCoro::Task<void> AppModel::loadPlaces(bool force)
{
    if (!force && m_placesTree && !hasAgedBeyond(m_placesLoadedAt, placesAgeLimit))
        co_return;
    const Session session = this->session();
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
            handleError(error, true);
        }
    }
}

QCoro::Task<QList<Medium>> AppModel::fetchMediaPage(MediaQuery query)
{
    const Session session = this->session();
    QList<Medium> media;
    try {
        media = co_await m_api.mediaPage(query);
    } catch (const std::exception& error) {
        if (session.isCurrent())
            handleError(error, true);
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
        refreshUserIfStale();
    co_return media;
}

void AppModel::resetPhotoPools()
{
    m_rotation.setPoolKey(QString());
}

QString AppModel::trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.sliced(begin, end - begin).toString();
}

} // namespace lumi
