#include "player/PhotoLoader.h"

#include "imaging/PictureDecode.h"
#include "library/PlaylistSync.h"
#include "model/AppLog.h"
#include "model/CdnUrl.h"
#include "model/ReplyFinished.h"
#include "platform/Screens.h"

#include <QCoroFuture>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QtConcurrent>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int cacheCount = 48;
constexpr qint64 cacheBytes = 256 * 1024 * 1024;

struct DeleteLater
{
    void operator()(QObject* object) const { object->deleteLater(); }
};

} // namespace

PhotoLoader::PhotoLoader(const PlaylistSync& sync, QNetworkAccessManager& network, const Screens& screens,
                         QObject* parent)
    : QObject(parent), m_sync(sync), m_network(network), m_screens(screens), m_cache(cacheCount, cacheBytes)
{
}

QSize PhotoLoader::coverSize() const
{
    QSize cover;
    for (const DisplayInfo& display : m_screens.displays())
        cover = cover.isValid() ? cover.expandedTo(display.pixelSize) : display.pixelSize;
    return cover;
}

QCoro::Task<std::optional<QImage>> PhotoLoader::image(Medium medium, bool large)
{
    const QPointer<PhotoLoader> self(this);
    const std::optional<QString> local = medium.localPath ? medium.localPath : m_sync.localFile(medium);
    if (local) {
        const QString key = QUrl::fromLocalFile(*local).toString();
        if (std::optional<QImage> cached = m_cache.find(key))
            co_return cached;
        // A photo's own path is read only inside the photo folders, as for a wallpaper.
        if (medium.localPath && !m_sync.isOwnFile(*local)) {
            AppLog(u"player"_s).info(u"%1 is not in the photo folders; not read"_s.arg(*local));
            co_return std::nullopt;
        }
        const QImage decoded = co_await QtConcurrent::run(&PictureDecode::file, *local, coverSize());
        if (!self)
            co_return std::nullopt;
        if (!decoded.isNull()) {
            m_cache.insert(key, decoded);
            co_return decoded;
        }
    }

    std::optional<QUrl> url = large ? medium.largeImageURL() : std::nullopt;
    if (!url)
        url = medium.imageURL();
    // A local photo whose file failed has no other copy.
    if (!url || url->isLocalFile())
        co_return std::nullopt;
    if (std::optional<QImage> cached = m_cache.find(url->toString()))
        co_return cached;
    std::optional<QImage> fetched = co_await fetch(*url);
    if (!self || !fetched)
        co_return std::nullopt;
    m_cache.insert(url->toString(), *fetched);
    co_return fetched;
}

QCoro::Task<std::optional<QImage>> PhotoLoader::fetch(QUrl url)
{
    const QPointer<PhotoLoader> self(this);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(CdnUrl::get(m_network, request));
    co_await ReplyFinished(reply.get());
    if (!self || reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        co_return std::nullopt;
    const QImage decoded = co_await QtConcurrent::run(&PictureDecode::body, reply->readAll(), coverSize());
    if (decoded.isNull())
        co_return std::nullopt;
    co_return decoded;
}

void PhotoLoader::clear()
{
    m_cache.clear();
}

} // namespace lumi
