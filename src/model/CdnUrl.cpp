#include "model/CdnUrl.h"

#include "model/AppLog.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

using namespace Qt::StringLiterals;

namespace lumi {

std::optional<QUrl> CdnUrl::resolve(const std::optional<QString>& base, const QString& variant)
{
    if (!base || base->isEmpty())
        return std::nullopt;
    const QUrl url(*base + variant, QUrl::StrictMode);
    if (!url.isValid() || !isAllowed(url))
        return std::nullopt;
    return url;
}

bool CdnUrl::isAllowed(const QUrl& url)
{
    const QString host = url.host();
    if (host.isEmpty())
        return false;
    if (url.scheme() == u"https"_s)
        return true;
    return url.scheme() == u"http"_s &&
           (host == u"127.0.0.1"_s || host == u"::1"_s || host == u"localhost"_s);
}

QNetworkReply* CdnUrl::get(QNetworkAccessManager& network, QNetworkRequest request)
{
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    QNetworkReply* reply = network.get(request);
    QObject::connect(reply, &QNetworkReply::redirected, reply, [reply](const QUrl& target) {
        if (isAllowed(target)) {
            emit reply->redirectAllowed();
            return;
        }
        AppLog(u"api"_s).info(u"redirect of %1 to %2 refused"_s.arg(reply->url().toString(QUrl::RemoveQuery),
                                                                    target.toString(QUrl::RemoveQuery)));
        reply->abort();
    });
    return reply;
}

} // namespace lumi
