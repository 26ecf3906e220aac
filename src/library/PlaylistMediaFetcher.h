#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QList>

#include <chrono>
#include <optional>

namespace lumi {

class APIClient;
class Clock;
struct Album;

/// Lists the photos of one playlist from the service for a sync pass: pages of 500, at most 10,
/// one photo per file name, and the whole listing tried again after 1, 2 and 4 seconds.
class PlaylistMediaFetcher final
{
public:
    static constexpr int perPage = 500;
    static constexpr int maxPages = 10;
    static constexpr int attempts = 4;

    /// The client and the clock must outlive the fetcher.
    PlaylistMediaFetcher(APIClient& api, Clock& clock);

    /// Throws the APIError of the first failed page; the pages before it are dropped. Photos whose
    /// id can't name a file are logged and left out; of photos sharing a file name the first stays.
    QCoro::Task<QList<Medium>> fetchMediaPages(Album album, CancelToken cancel);
    /// None after four failed attempts, or as soon as the token is cancelled: a cancelled wait
    /// ends the listing instead of starting the next attempt at once. Throws the APIError
    /// InvalidRequest at once when the playlist's fragment can't form a request.
    QCoro::Task<std::optional<QList<Medium>>> fetchPlaylistMedia(Album album, CancelToken cancel);

    /// The wait before attempt number attempt + 1 (attempt counted from 0).
    static std::chrono::seconds retryDelay(int attempt) { return std::chrono::seconds(1 << attempt); }

private:
    APIClient& m_api;
    Clock& m_clock;
    AppLog m_log;
};

} // namespace lumi
