#include "browser/ThumbnailLoader.h"

#include "imaging/PhotoDecoder.h"
#include "model/ReplyFinished.h"

#include <QCoroFuture>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopeGuard>
#include <QThreadPool>
#include <QtConcurrent>

#include <limits>
#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QImage decodeCovering(PhotoDecoder& decoder, QSize pixelSize)
{
    if (!decoder.size().isValid())
        return QImage();
    QString error;
    return decoder.decodeCovering(pixelSize, &error);
}

QImage decodeFile(const QString& path, QSize pixelSize)
{
    PhotoDecoder decoder(path);
    return decodeCovering(decoder, pixelSize);
}

QImage decodeBody(QByteArray body, QSize pixelSize)
{
    return PhotoDecoder::decodeBody(
        std::move(body), [pixelSize](PhotoDecoder& decoder) { return decodeCovering(decoder, pixelSize); });
}

// An empty or foreign URL names nothing to fetch: its reply would only fail a turn later.
bool isFetchable(const QUrl& url)
{
    if (url.isLocalFile())
        return !url.toLocalFile().isEmpty();
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == u"http"_s || scheme == u"https"_s) && !url.host().isEmpty();
}

QString cacheKey(const QUrl& url, QSize pixelSize)
{
    return u"%1x%2 %3"_s.arg(pixelSize.width()).arg(pixelSize.height()).arg(url.toString());
}

// The C library gives threads heaps (arenas) of their own, and a picture freed on eviction goes
// back to the arena of the thread that decoded it. Spread over the shared pool's threads, every
// arena kept room for its share of the cache's churn, some 25 MB in all over a long scroll; decoded
// on one thread, the cached pictures reuse one arena's room. One thread keeps up: a thumbnail
// takes about two milliseconds.
class DecodeThread final : public QThreadPool
{
public:
    DecodeThread() { setMaxThreadCount(1); }
};

QThreadPool& decodeThread()
{
    static DecodeThread pool;
    return pool;
}

} // namespace

ThumbnailLoader::ThumbnailLoader(QNetworkAccessManager& network, qint64 maxBytes, QObject* parent)
    : QObject(parent), m_network(network), m_cache(std::numeric_limits<int>::max(), maxBytes)
{
}

ThumbnailLoader::~ThumbnailLoader()
{
    // Requests still out end now; their tasks see the loader gone.
    const QHash<Ticket, Pending> pending = std::exchange(m_pending, {});
    for (const Pending& request : pending) {
        if (request.reply && request.reply->isRunning())
            request.reply->abort();
    }
}

ThumbnailLoader::Ticket ThumbnailLoader::load(const QUrl& url, QSize pixelSize, Done done)
{
    if (!isFetchable(url))
        return 0;
    if (const std::optional<QImage> cached = m_cache.find(cacheKey(url, pixelSize))) {
        done(*cached);
        return 0;
    }
    const Ticket ticket = ++m_lastTicket;
    m_pending.insert(ticket, Pending{std::move(done), {}});
    fetch(ticket, url, pixelSize);
    return ticket;
}

void ThumbnailLoader::cancel(Ticket ticket)
{
    const auto found = m_pending.find(ticket);
    if (found == m_pending.end())
        return;
    const QPointer<QNetworkReply> reply = found->reply;
    m_pending.erase(found);
    if (reply && reply->isRunning())
        reply->abort();
}

QCoro::Task<void> ThumbnailLoader::fetch(Ticket ticket, QUrl url, QSize pixelSize)
{
    const QPointer<ThumbnailLoader> self(this);
    QImage image;
    if (url.isLocalFile())
        image = co_await QtConcurrent::run(&decodeThread(), &decodeFile, url.toLocalFile(), pixelSize);
    else
        image = co_await download(ticket, url, pixelSize);
    if (self)
        finish(ticket, cacheKey(url, pixelSize), image);
}

QCoro::Task<QImage> ThumbnailLoader::download(Ticket ticket, QUrl url, QSize pixelSize)
{
    const QPointer<ThumbnailLoader> self(this);
    // The network may go first and take the reply with it.
    const QPointer<QNetworkReply> reply(m_network.get(QNetworkRequest(url)));
    const auto release = qScopeGuard([reply] {
        if (reply)
            reply->deleteLater();
    });
    m_pending[ticket].reply = reply;
    co_await ReplyFinished(reply.get());
    if (!self || !reply || !m_pending.contains(ticket) || reply->error() != QNetworkReply::NoError ||
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200)
        co_return QImage();
    co_return co_await QtConcurrent::run(&decodeThread(), &decodeBody, reply->readAll(), pixelSize);
}

void ThumbnailLoader::release(QImage picture)
{
    // Shared, it only loses a reference here.
    if (!picture.isDetached())
        return;
    if (m_released.isEmpty())
        QMetaObject::invokeMethod(this, &ThumbnailLoader::freeReleased, Qt::QueuedConnection);
    m_released.append(std::move(picture));
}

void ThumbnailLoader::freeReleased()
{
    // One hand-over per turn: waking the thread costs more than freeing one picture. Ahead of the
    // decodes waiting there, so that a busy machine does not hold freed pictures beside new ones.
    decodeThread().start([pictures = std::exchange(m_released, {})]() mutable { pictures.clear(); }, 1);
}

void ThumbnailLoader::finish(Ticket ticket, const QString& key, const QImage& image)
{
    if (!image.isNull()) {
        for (QImage& evicted : m_cache.insert(key, image))
            release(std::move(evicted));
        m_peakBytes = std::max(m_peakBytes, m_cache.bytes());
    }
    const auto found = m_pending.find(ticket);
    if (found == m_pending.end())
        return;
    const Done done = std::move(found->done);
    m_pending.erase(found);
    done(image);
}

} // namespace lumi
