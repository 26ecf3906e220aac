#include "AlbumApi.h"

#include "AccountStore.h"
#include "ApiCall.h"
#include "Catalog.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

const QString favoritesFragment = u"favorites"_s;

HttpResponse albumNotFound()
{
    return ApiCall::notFound(u"There is no playlist with that name."_s);
}

HttpResponse nameTaken()
{
    return ApiCall::invalid(u"You already have a playlist with that name."_s, u"PLAYLIST_EXISTS"_s);
}

} // namespace

AlbumApi::AlbumApi(AccountStore& store, const Catalog& catalog) : m_store(store), m_catalog(catalog) {}

std::optional<HttpResponse> AlbumApi::handle(ApiCall& call)
{
    if (call.segments.value(0) != u"albums")
        return std::nullopt;
    const qsizetype depth = call.segments.size();
    const QString second = call.segments.value(1);
    const bool known =
        (depth == 1 && (call.method == "GET" || call.method == "POST" || call.method == "DELETE")) ||
        (call.is("PUT", {u"albums"_s, u"include"_s})) ||
        (call.is("GET", {u"albums"_s, favoritesFragment, u"uuids"_s})) ||
        (depth == 2 && second != u"include" && (call.method == "PUT" || call.method == "POST"));
    if (!known)
        return std::nullopt;
    if (!call.account)
        return ApiCall::unauthorized();
    SandboxAccount& account = *call.account;

    if (depth == 1) {
        if (call.method == "GET")
            return list(call);
        return call.method == "POST" ? create(account, call) : remove(account, call);
    }
    if (depth == 3)
        return favoriteUuids(account, call);
    if (second == u"include")
        return include(account, call);
    return call.method == "PUT" ? update(account, second, call) : addPhoto(account, second, call);
}

HttpResponse AlbumApi::list(const ApiCall& call)
{
    const int page = call.queryNumber(u"page"_s, 1, 1'000'000);
    const int perPage = call.queryNumber(u"per_page"_s, 500, 10'000);
    QJsonArray albums;
    const QList<SandboxAlbum>& all = call.account->albums;
    for (qsizetype i = qsizetype(page - 1) * perPage; i < all.size() && albums.size() < perPage; ++i)
        albums.append(all[i].toJson());
    return HttpResponse::json(QJsonObject{{u"albums"_s, albums}});
}

HttpResponse AlbumApi::create(SandboxAccount& account, const ApiCall& call)
{
    const QString title = call.bodyText(u"playlist"_s).trimmed();
    if (title.isEmpty())
        return ApiCall::invalid(u"Please give the playlist a name."_s);
    if (account.albumByFragment(SandboxAlbum::fragmentOf(title)))
        return nameTaken();
    SandboxAlbum album;
    album.id = m_store.takeAlbumId();
    album.title = title;
    album.localPath = call.bodyText(u"local"_s);
    account.albums.append(album);
    m_store.playlistsChanged(account);
    return HttpResponse::json(album.toJson());
}

HttpResponse AlbumApi::remove(SandboxAccount& account, const ApiCall& call)
{
    SandboxAlbum* album = account.albumByTitle(call.queryValue(u"playlist"_s));
    if (!album)
        return albumNotFound();
    if (call.hasQueryItem(u"uuid"_s)) {
        // Removing a photo that is not in the playlist is not an error: the wish is fulfilled.
        if (album->uuids.removeAll(call.queryValue(u"uuid"_s)) > 0)
            m_store.playlistsChanged(account);
        return ApiCall::ok();
    }
    if (album->fragment() == favoritesFragment)
        return ApiCall::invalid(u"The favorites playlist can't be deleted."_s);
    const qint64 id = album->id;
    account.albums.removeIf([id](const SandboxAlbum& a) { return a.id == id; });
    m_store.playlistsChanged(account);
    return ApiCall::ok();
}

HttpResponse AlbumApi::include(SandboxAccount& account, const ApiCall& call)
{
    const QString type = call.bodyText(u"type"_s);
    const QJsonValue included = call.body.value(u"included"_s);
    if ((type != u"paper" && type != u"saver") || !included.isBool())
        return ApiCall::invalid(u"Say \"paper\" or \"saver\" and whether it is included."_s);
    SandboxAlbum* album = account.albumByTitle(call.bodyText(u"playlist"_s));
    if (!album)
        return albumNotFound();
    (type == u"paper" ? album->includeInPaper : album->includeInSaver) = included.toBool();
    m_store.playlistsChanged(account);
    return HttpResponse::json(album->toJson());
}

HttpResponse AlbumApi::favoriteUuids(SandboxAccount& account, const ApiCall& call)
{
    const int page = call.queryNumber(u"page"_s, 1, 1'000'000);
    const int perPage = call.queryNumber(u"per_page"_s, 500, 10'000);
    const SandboxAlbum* favorites = account.albumByFragment(favoritesFragment);
    const QStringList all = favorites ? favorites->uuids : QStringList();
    return HttpResponse::json(QJsonObject{
        {u"uuids"_s, QJsonArray::fromStringList(all.mid(qsizetype(page - 1) * perPage, perPage))}});
}

HttpResponse AlbumApi::update(SandboxAccount& account, const QString& fragment, const ApiCall& call)
{
    SandboxAlbum* album = account.albumByFragment(fragment);
    if (!album)
        return albumNotFound();
    const QString renamed = call.bodyText(u"renamed"_s).trimmed();
    if (!renamed.isEmpty() && renamed != album->title) {
        if (fragment == favoritesFragment)
            return ApiCall::invalid(u"The favorites playlist can't be renamed."_s);
        const SandboxAlbum* other = account.albumByFragment(SandboxAlbum::fragmentOf(renamed));
        if (other && other != album)
            return nameTaken();
        album->title = renamed;
    }
    if (call.body.contains(u"local"_s))
        album->localPath = call.bodyText(u"local"_s);
    m_store.playlistsChanged(account);
    return HttpResponse::json(album->toJson());
}

HttpResponse AlbumApi::addPhoto(SandboxAccount& account, const QString& fragment, const ApiCall& call)
{
    const QString uuid = call.bodyText(u"uuid"_s);
    if (!m_catalog.photo(uuid))
        return ApiCall::notFound(u"That photo does not exist."_s);
    SandboxAlbum* album = account.albumByFragment(fragment);
    if (!album && fragment == favoritesFragment) {
        // Accounts get their favorites playlist with their first favorite.
        SandboxAlbum favorites;
        favorites.id = m_store.takeAlbumId();
        favorites.title = u"Favorites"_s;
        account.albums.append(favorites);
        album = &account.albums.last();
    }
    if (!album)
        return albumNotFound();
    if (!album->uuids.contains(uuid)) {
        album->uuids.append(uuid);
        m_store.playlistsChanged(account);
    }
    return HttpResponse::json(album->toJson());
}

} // namespace lumi::sandbox
