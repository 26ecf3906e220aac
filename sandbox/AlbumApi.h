#pragma once

#include "HttpResponse.h"

#include <optional>

namespace lumi::sandbox {

class AccountStore;
class Catalog;
struct ApiCall;
struct SandboxAccount;

// The user's playlists: list, create, rename and relink, delete, photo membership, the wallpaper
// and saver marks, and the favorite uuids. Every change stamps playlists_updated_at.
class AlbumApi final
{
public:
    AlbumApi(AccountStore& store, const Catalog& catalog);

    std::optional<HttpResponse> handle(ApiCall& call);

private:
    HttpResponse list(const ApiCall& call);
    HttpResponse create(SandboxAccount& account, const ApiCall& call);
    HttpResponse remove(SandboxAccount& account, const ApiCall& call);
    HttpResponse include(SandboxAccount& account, const ApiCall& call);
    HttpResponse favoriteUuids(SandboxAccount& account, const ApiCall& call);
    HttpResponse update(SandboxAccount& account, const QString& fragment, const ApiCall& call);
    HttpResponse addPhoto(SandboxAccount& account, const QString& fragment, const ApiCall& call);

    AccountStore& m_store;
    const Catalog& m_catalog;
};

} // namespace lumi::sandbox
