#include "library/PlaylistMediaFetcher.h"

#include "library/PhotoFileNames.h"
#include "model/APIClient.h"
#include "model/Album.h"
#include "model/Clock.h"

#include <QSet>

using namespace Qt::StringLiterals;

namespace lumi {

PlaylistMediaFetcher::PlaylistMediaFetcher(APIClient& api, Clock& clock)
    : m_api(api), m_clock(clock), m_log(u"sync"_s)
{
}

QCoro::Task<QList<Medium>> PlaylistMediaFetcher::fetchMediaPages(Album album, CancelToken cancel)
{
    QList<Medium> collected;
    for (int page = 1; page <= maxPages; ++page) {
        APIRequest request;
        request.method = u"GET"_s;
        request.path = u"media/playlists/"_s + album.titleFragment;
        request.query = {{u"page"_s, QString::number(page)}, {u"per_page"_s, QString::number(perPage)}};
        request.cancel = cancel;
        const MediaResponse response = co_await m_api.request<MediaResponse>(std::move(request));
        const QList<Medium> media = response.media.value_or(QList<Medium>());
        collected += media;
        if (media.size() < perPage)
            break;
    }

    QList<Medium> kept;
    QSet<QString> names;
    for (Medium& photo : collected) {
        const std::optional<QString> name = PhotoFileNames::photoFileName(photo);
        if (!name) {
            m_log.info(u"photo %1: id can't name a file, skipped"_s.arg(photo.uuid.left(8)));
            continue;
        }
        if (names.contains(*name))
            continue;
        names.insert(*name);
        kept.append(std::move(photo));
    }
    co_return kept;
}

QCoro::Task<std::optional<QList<Medium>>> PlaylistMediaFetcher::fetchPlaylistMedia(Album album,
                                                                                   CancelToken cancel)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0 && !co_await m_clock.sleep(retryDelay(attempt - 1), cancel))
            co_return std::nullopt;
        if (cancel.isCancelled())
            co_return std::nullopt;
        try {
            co_return co_await fetchMediaPages(album, cancel);
        } catch (const APIError&) {
            // Dropped: the pass reports the listing as failed once all attempts are spent.
        }
    }
    co_return std::nullopt;
}

} // namespace lumi
