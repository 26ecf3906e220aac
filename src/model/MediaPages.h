#pragma once

#include "model/CancelToken.h"
#include "model/MediaQuery.h"
#include "model/Medium.h"

#include <QCoroTask>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace lumi {

class APIClient;

/// Walks a listing page by page for the callers that want all of it, and keeps one photo per key.
class MediaPages final
{
public:
    /// What makes two photos the same; none leaves a photo out.
    using Key = std::function<std::optional<QString>(const Medium&)>;

    /// Catalog photos (those with a CDN address), one per uuid.
    static std::optional<QString> catalogKey(const Medium& photo);

    /// Pages of the query's size from its page on, until a shorter or a longer page (cut to the
    /// size) or maxPages pages; without a key every photo stays. Throws the APIError of the first
    /// failed page; the pages before it are dropped.
    static QCoro::Task<QList<Medium>> fetch(APIClient& api, MediaQuery first, int maxPages, Key key = {},
                                            CancelToken cancel = {});
    /// The first photo of each key, in order.
    static QList<Medium> unique(QList<Medium> media, const Key& key);
};

} // namespace lumi
