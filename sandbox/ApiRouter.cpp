#include "ApiRouter.h"

#include "AccountStore.h"
#include "ApiCall.h"
#include "HttpRequest.h"

#include <QJsonDocument>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

ApiRouter::ApiRouter(AccountStore& store, const Catalog& catalog)
    : m_store(store), m_accounts(store, catalog), m_albums(store, catalog), m_catalog(catalog)
{
}

HttpResponse ApiRouter::handle(const HttpRequest& request, const QByteArray& apiPath)
{
    ApiCall call;
    call.method = request.method;
    for (const QByteArray& segment : apiPath.split('/')) {
        if (!segment.isEmpty())
            call.segments.append(QUrl::fromPercentEncoding(segment));
    }
    call.query = request.queryItems();

    if (!request.body.trimmed().isEmpty() && request.method != "GET") {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
        if (error.error != QJsonParseError::NoError || !document.isObject())
            return HttpResponse::error(400, u"The request body is not a JSON object."_s, u"BAD_JSON"_s);
        call.body = document.object();
    }

    const QByteArray authorization = request.header("authorization");
    if (authorization.size() > 7 && authorization.left(7).compare("bearer ", Qt::CaseInsensitive) == 0)
        call.account = m_store.byToken(QString::fromLatin1(authorization.mid(7).trimmed()));

    if (std::optional<HttpResponse> answer = m_accounts.handle(call))
        return *answer;
    if (std::optional<HttpResponse> answer = m_albums.handle(call))
        return *answer;
    if (std::optional<HttpResponse> answer = m_catalog.handle(call))
        return *answer;
    return HttpResponse::error(404,
                               u"There is no such endpoint: %1 %2"_s.arg(QString::fromLatin1(request.method),
                                                                         QString::fromLatin1(request.path)));
}

} // namespace lumi::sandbox
