#pragma once

#include "HttpResponse.h"

#include <QList>

#include <optional>

namespace lumi::sandbox {

class Catalog;
struct ApiCall;

// The catalog reads: collections, photo listings under "media/" (collections, latest, today,
// playlists, search, one photo by short id) and the places tree with its photos.
class CatalogApi final
{
public:
    explicit CatalogApi(const Catalog& catalog);

    std::optional<HttpResponse> handle(ApiCall& call);

private:
    HttpResponse media(const ApiCall& call);
    HttpResponse photoByPrefix(const ApiCall& call);
    // One page of the listing, filtered by the "search" query item when it is given.
    HttpResponse page(const ApiCall& call, const QList<int>& indexes);

    const Catalog& m_catalog;
};

} // namespace lumi::sandbox
