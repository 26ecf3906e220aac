#include "app/ImageLoader.h"

#include "imaging/PictureDecode.h"
#include "model/CdnUrl.h"

#include <QCoroFuture>
#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QtConcurrent>

#include <memory>

namespace lumi {

namespace {

struct DeleteLater
{
    void operator()(QObject* object) const { object->deleteLater(); }
};

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
    // The reply belongs to the network session, which outlives every view that asked.
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(network.get(QNetworkRequest(url)));
    co_await reply.get();
    if (reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        co_return std::nullopt;
    co_return decoded(co_await QtConcurrent::run(&PictureDecode::body, reply->readAll(), cover));
}

} // namespace lumi
