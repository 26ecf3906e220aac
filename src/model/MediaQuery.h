#pragma once

#include "model/PlaceQuery.h"

#include <QMap>
#include <QString>

#include <optional>

namespace lumi {

struct Album;

/// One page of a photo listing: a catalog listing such as "today", "classic/latest" or
/// "playlists/<fragment>", or with a place set, that place's photos.
struct MediaQuery final
{
    QString path{}; ///< the listing, under "media/"; not used when a place is set
    int page = 1;   ///< counted from 1
    int perPage = 60;
    std::optional<QString> search{}; ///< an empty term is not sent
    bool withDescription = false;
    std::optional<PlaceQuery> place{};

    /// The listing of one playlist, page 1.
    static MediaQuery playlist(const Album& album, int perPage);
    static QString playlistPath(const QString& fragment);

    /// The listing is a playlist's.
    bool listsPlaylist() const;
    /// Relative to the API's base URL.
    QString requestPath() const;
    /// In a QMap the items go out sorted by name.
    QMap<QString, QString> queryItems() const;
};

} // namespace lumi
