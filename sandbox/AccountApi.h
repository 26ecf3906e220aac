#pragma once

#include "HttpResponse.h"

#include <optional>

namespace lumi::sandbox {

class AccountStore;
class Catalog;
struct ApiCall;

// Sign-in and tokens, passwords, the user record, server alerts, sharing, the survey and the
// telemetry posts (events, crashes, diagnostics).
class AccountApi final
{
public:
    AccountApi(AccountStore& store, const Catalog& catalog);

    // None when the call is not one of this group's.
    std::optional<HttpResponse> handle(ApiCall& call);

private:
    HttpResponse signIn(const ApiCall& call);
    HttpResponse refreshToken(const ApiCall& call);
    std::optional<HttpResponse> passwords(const ApiCall& call);
    std::optional<HttpResponse> users(ApiCall& call);
    HttpResponse createUser(const ApiCall& call);
    HttpResponse updateUser(ApiCall& call);
    std::optional<HttpResponse> alerts(ApiCall& call);
    HttpResponse share(const ApiCall& call);

    AccountStore& m_store;
    const Catalog& m_catalog;
};

} // namespace lumi::sandbox
