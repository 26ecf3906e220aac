#include "model/MediaQuery.h"

#include "model/Album.h"

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QString playlistsPrefix = u"playlists/"_s;

} // namespace

MediaQuery MediaQuery::playlist(const Album& album, int perPage)
{
    return MediaQuery{.path = playlistPath(album.titleFragment), .perPage = perPage};
}

QString MediaQuery::playlistPath(const QString& fragment)
{
    return playlistsPrefix + fragment;
}

bool MediaQuery::listsPlaylist() const
{
    return !place && path.startsWith(playlistsPrefix);
}

QString MediaQuery::requestPath() const
{
    return place ? u"places/media"_s : u"media/"_s + path;
}

QMap<QString, QString> MediaQuery::queryItems() const
{
    QMap<QString, QString> items = place ? place->queryItems() : QMap<QString, QString>();
    items.insert(u"page"_s, QString::number(page));
    items.insert(u"per_page"_s, QString::number(perPage));
    if (search && !search->isEmpty())
        items.insert(u"search"_s, *search);
    if (withDescription)
        items.insert(u"with_description"_s, u"true"_s);
    return items;
}

} // namespace lumi
