#include "state/UrlCache.h"

namespace lumi {

UrlCache::UrlCache(QUrl apiBase, QString folder, qint64 maximumBytes, QObject* parent)
    : QNetworkDiskCache(parent), m_apiBase(std::move(apiBase))
{
    setCacheDirectory(folder);
    setMaximumCacheSize(maximumBytes);
}

QIODevice* UrlCache::prepare(const QNetworkCacheMetaData& metaData)
{
    if (isApiAddress(metaData.url()))
        return nullptr;
    return QNetworkDiskCache::prepare(metaData);
}

bool UrlCache::isApiAddress(const QUrl& url) const
{
    const QString base = m_apiBase.adjusted(QUrl::StripTrailingSlash).path() + u'/';
    return url.scheme() == m_apiBase.scheme() && url.host() == m_apiBase.host() &&
           url.port() == m_apiBase.port() && url.path().startsWith(base);
}

} // namespace lumi
