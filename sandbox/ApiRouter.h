#pragma once

#include "AccountApi.h"
#include "AlbumApi.h"
#include "CatalogApi.h"

namespace lumi::sandbox {

struct HttpRequest;

// Answers every request below "/api/v6/": decodes the path, the query and the JSON body, finds
// the account of the bearer token and hands the call to the endpoint group that knows it.
class ApiRouter final
{
public:
    ApiRouter(AccountStore& store, const Catalog& catalog);

    // apiPath is the raw path below "/api/v6/".
    HttpResponse handle(const HttpRequest& request, const QByteArray& apiPath);

private:
    AccountStore& m_store;
    AccountApi m_accounts;
    AlbumApi m_albums;
    CatalogApi m_catalog;
};

} // namespace lumi::sandbox
