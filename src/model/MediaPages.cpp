#include "model/MediaPages.h"

#include "model/APIClient.h"

#include <QSet>

namespace lumi {

std::optional<QString> MediaPages::catalogKey(const Medium& photo)
{
    if (!photo.secureBaseUrl)
        return std::nullopt;
    return photo.uuid;
}

QCoro::Task<QList<Medium>> MediaPages::fetch(APIClient& api, MediaQuery first, int maxPages, Key key,
                                             CancelToken cancel)
{
    QList<Medium> collected;
    MediaQuery query = std::move(first);
    for (int fetched = 0; fetched < maxPages; ++fetched, ++query.page) {
        QList<Medium> media = co_await api.mediaPage(query, cancel);
        // A page longer than asked for is not followed further: it counts as the last one.
        const bool last = media.size() != query.perPage;
        if (media.size() > query.perPage)
            media.resize(query.perPage);
        collected += media;
        if (last)
            break;
    }
    co_return key ? unique(std::move(collected), key) : collected;
}

QList<Medium> MediaPages::unique(QList<Medium> media, const Key& key)
{
    QList<Medium> kept;
    QSet<QString> keys;
    for (Medium& photo : media) {
        const std::optional<QString> photoKey = key(photo);
        if (!photoKey || keys.contains(*photoKey))
            continue;
        keys.insert(*photoKey);
        kept.append(std::move(photo));
    }
    return kept;
}

} // namespace lumi
