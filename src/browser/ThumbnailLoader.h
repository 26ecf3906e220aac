#pragma once

#include "player/ImageCache.h"

#include <QCoroTask>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace lumi {

/// The grid's pictures: a photo file or a CDN variant (through the app's network, and so its URL
/// cache), decoded off the main thread to cover exactly the tile's pixel size. Decoded pictures
/// are kept in a least-recently-used cache bounded by bytes, and freed off the main thread too. A
/// tile that scrolls away or shows another photo cancels its request, and a cancelled request
/// never calls back; neither does a request still out when the loader goes.
class ThumbnailLoader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ThumbnailLoader)

public:
    using Ticket = quint64;
    /// A null image when the picture could not be loaded.
    using Done = std::function<void(const QImage&)>;

    /// Some ten screens of tiles at 1280x800: scrolling back shows them at once, and further back
    /// the URL cache and a decode of about two milliseconds bring them.
    static constexpr qint64 defaultMaxBytes = 32LL * 1024 * 1024;

    /// The network outlives the loader.
    explicit ThumbnailLoader(QNetworkAccessManager& network, qint64 maxBytes = defaultMaxBytes,
                             QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    /// A cached picture calls back at once and gives ticket 0. A URL that names neither a file nor
    /// a web address gives ticket 0 and never calls back: there is nothing to fetch. Otherwise
    /// done is called later on the main thread, unless the ticket is cancelled first.
    Ticket load(const QUrl& url, QSize pixelSize, Done done);
    void cancel(Ticket ticket);
    /// Takes a picture its holder is done with. When no one else holds it, its pixels are freed on
    /// the decoding thread, whose heap they came from, rather than in the middle of a paint.
    void release(QImage picture);

    qint64 bytes() const { return m_cache.bytes(); }
    qint64 peakBytes() const { return m_peakBytes; }

private:
    struct Pending
    {
        Done done;
        QPointer<QNetworkReply> reply;
    };

    QCoro::Task<void> fetch(Ticket ticket, QUrl url, QSize pixelSize);
    QCoro::Task<QImage> download(Ticket ticket, QUrl url, QSize pixelSize);
    void finish(Ticket ticket, const QString& key, const QImage& image);
    void freeReleased();

    QNetworkAccessManager& m_network;
    ImageCache m_cache;
    QHash<Ticket, Pending> m_pending;
    /// Pictures released this turn of the event loop, freed together.
    QList<QImage> m_released;
    Ticket m_lastTicket = 0;
    qint64 m_peakBytes = 0;
};

} // namespace lumi
