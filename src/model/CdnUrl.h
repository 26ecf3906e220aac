#pragma once

#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace lumi {

// Image addresses built from the server's base URLs. The server's text is not trusted to pick
// the scheme: only https, or plain http to this machine (the local stand-in of the service),
// may be fetched, so a "file:" base cannot point a download or an image view at local files.
class CdnUrl final
{
public:
    // `base` followed directly by `variant` ("640x360.jpg"); none when the base is absent or
    // empty, the result does not parse, or it is not an allowed address.
    static std::optional<QUrl> resolve(const std::optional<QString>& base, const QString& variant);
    static bool isAllowed(const QUrl& url);
    // Starts a GET that follows a redirect only to an allowed address and aborts at any other,
    // so an allowed first address can't hand the download on to an arbitrary host.
    static QNetworkReply* get(QNetworkAccessManager& network, QNetworkRequest request);
};

} // namespace lumi
