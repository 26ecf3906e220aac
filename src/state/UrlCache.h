#pragma once

#include <QNetworkDiskCache>
#include <QUrl>

namespace lumi {

/// The app's HTTP cache on disk, for photos and thumbnails. Answers of the service's API are
/// never stored: they belong to one account's session, and Qt 6.4 mixes a stored body into the
/// reply when the server later answers the same address with an error.
class UrlCache final : public QNetworkDiskCache
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UrlCache)

public:
    /// apiBase: the service's base URL; everything below it goes uncached.
    UrlCache(QUrl apiBase, QString folder, qint64 maximumBytes, QObject* parent = nullptr);

    QIODevice* prepare(const QNetworkCacheMetaData& metaData) override;

private:
    bool isApiAddress(const QUrl& url) const;

    QUrl m_apiBase;
};

} // namespace lumi
