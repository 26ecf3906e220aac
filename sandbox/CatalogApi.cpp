#include "CatalogApi.h"

#include "ApiCall.h"
#include "Catalog.h"
#include "SandboxAccount.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

CatalogApi::CatalogApi(const Catalog& catalog) : m_catalog(catalog) {}

std::optional<HttpResponse> CatalogApi::handle(ApiCall& call)
{
    // The collections are public: the sign-in window shows them before anyone signs in.
    if (call.is("GET", {u"configuration"_s, u"categories"_s}))
        return HttpResponse::json(m_catalog.categoriesJson());

    const QString head = call.segments.value(0);
    if (call.method != "GET" || (head != u"media" && head != u"places"))
        return std::nullopt;
    if (head == u"places" && call.segments.size() > 2)
        return std::nullopt;
    if (head == u"places" && call.segments.size() == 2 && call.segments[1] != u"media")
        return std::nullopt;
    if (!call.account)
        return ApiCall::unauthorized();

    if (head == u"media")
        return media(call);
    if (call.segments.size() == 1)
        return HttpResponse::json(m_catalog.placesTreeJson());
    return page(call, m_catalog.placeListing(call.queryValue(u"country"_s), call.queryValue(u"region"_s),
                                             call.queryValue(u"place"_s)));
}

HttpResponse CatalogApi::media(const ApiCall& call)
{
    const QString path = call.segments.mid(1).join(u'/');
    if (path == u"photo")
        return photoByPrefix(call);
    if (path.startsWith(u"playlists/"_s) && call.segments.size() == 3) {
        const SandboxAlbum* album = call.account->albumByFragment(call.segments[2]);
        if (!album)
            return ApiCall::notFound(u"There is no playlist with that name."_s);
        QList<int> indexes;
        for (const QString& uuid : album->uuids) {
            const CatalogPhoto* photo = m_catalog.photo(uuid);
            if (photo)
                indexes.append(int(photo - m_catalog.photos().constData()));
        }
        return page(call, indexes);
    }
    const std::optional<QList<int>> listing = m_catalog.listing(path);
    if (!listing)
        return ApiCall::notFound(u"There is no collection at that path."_s);
    return page(call, *listing);
}

HttpResponse CatalogApi::photoByPrefix(const ApiCall& call)
{
    const QString prefix = call.queryValue(u"prefix"_s).toLower();
    if (prefix.isEmpty())
        return ApiCall::invalid(u"Say which photo: the prefix is missing."_s);
    const CatalogPhoto* photo = m_catalog.photoByPrefix(prefix);
    if (!photo)
        return ApiCall::notFound(u"That photo does not exist."_s);
    return HttpResponse::json(QJsonObject{{u"medium"_s, m_catalog.mediumJson(*photo, true)}});
}

HttpResponse CatalogApi::page(const ApiCall& call, const QList<int>& indexes)
{
    const int pageNumber = call.queryNumber(u"page"_s, 1, 1'000'000);
    const int perPage = call.queryNumber(u"per_page"_s, 60, 10'000);
    const QString search = call.queryValue(u"search"_s);
    // Descriptions are long; the service sends them only to callers that ask.
    const bool withDescription = call.queryValue(u"with_description"_s) == u"true";

    qsizetype skip = qsizetype(pageNumber - 1) * perPage;
    QJsonArray media;
    for (const int index : indexes) {
        if (!search.trimmed().isEmpty() && !m_catalog.matchesSearch(index, search))
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (media.size() >= perPage)
            break;
        media.append(m_catalog.mediumJson(m_catalog.photos()[index], withDescription));
    }
    return HttpResponse::json(QJsonObject{{u"media"_s, media}});
}

} // namespace lumi::sandbox
