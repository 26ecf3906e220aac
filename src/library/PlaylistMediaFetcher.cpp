#include "library/PlaylistMediaFetcher.h"

#include "library/PhotoFileNames.h"
#include "model/APIClient.h"
#include "model/Album.h"
#include "model/Clock.h"
#include "model/MediaPages.h"

using namespace Qt::StringLiterals;

namespace lumi {

PlaylistMediaFetcher::PlaylistMediaFetcher(APIClient& api, Clock& clock)
    : m_api(api), m_clock(clock), m_log(u"sync"_s)
{
}

QCoro::Task<QList<Medium>> PlaylistMediaFetcher::fetchMediaPages(Album album, CancelToken cancel)
{
    const auto fileName = [this](const Medium& photo) {
        const std::optional<QString> name = PhotoFileNames::photoFileName(photo);
        if (!name)
            m_log.info(u"photo %1: id can't name a file, skipped"_s.arg(photo.uuid.left(8)));
        return name;
    };
    co_return co_await MediaPages::fetch(m_api, MediaQuery::playlist(album, perPage), maxPages, fileName,
                                         std::move(cancel));
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
        } catch (const APIError& error) {
            // A fragment that can't form a request stays so: asking again can't help.
            if (error.kind() == APIError::Kind::InvalidRequest)
                throw;
            // Otherwise dropped: the pass reports the listing as failed once all attempts are spent.
        }
    }
    co_return std::nullopt;
}

} // namespace lumi
