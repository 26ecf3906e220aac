#include "widgets/ImageLoader.h"

#include "imaging/PictureDecode.h"
#include "model/CdnUrl.h"

#include <QCoroFuture>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QtConcurrent>

namespace lumi {

namespace {

std::optional<QImage> decoded(QImage image)
{
    if (image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

QCoro::Task<std::optional<QImage>> ImageLoader::load(QNetworkAccessManager& network, QUrl url, QSize cover)
{
    if (url.isLocalFile())
        co_return decoded(co_await QtConcurrent::run(&PictureDecode::file, url.toLocalFile(), cover));
    if (!CdnUrl::isAllowed(url))
        co_return std::nullopt;
    // The reply belongs to the network session, which deletes it when it ends first. A redirect
    // is followed only to an allowed address too.
    const QPointer<QNetworkReply> reply(CdnUrl::get(network, QNetworkRequest(url)));
    co_await qCoro(reply.data()).waitForFinished();
    if (!reply)
        co_return std::nullopt;
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        co_return std::nullopt;
    co_return decoded(co_await QtConcurrent::run(&PictureDecode::body, reply->readAll(), cover));
}

} // namespace lumi
