#include "model/CdnUrl.h"

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

} // namespace lumi
