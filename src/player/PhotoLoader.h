#pragma once

#include "player/ImageCache.h"
#include "player/PhotoImageSource.h"

#include <QObject>
#include <QSize>

class QNetworkAccessManager;

namespace lumi {

class PlaylistSync;
class Screens;

/// The player's one image loader: a photo's own file, else its synced copy, else its CDN variant,
/// decoded off the main thread no larger than covers the largest display. Decoded images are
/// cached (48 at most, 256 MiB at most, least recently used out) until the player stops.
class PhotoLoader final : public QObject, public PhotoImageSource
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoLoader)

public:
    /// The services outlive the loader.
    PhotoLoader(const PlaylistSync& sync, QNetworkAccessManager& network, const Screens& screens,
                QObject* parent = nullptr);

    /// None when no file decodes and the CDN gives no image with status 200; failures are not
    /// cached, so the next request tries again. A missing local photo asks nothing of the network.
    QCoro::Task<std::optional<QImage>> image(Medium medium, bool large) override;
    void clear() override;

    const ImageCache& cache() const { return m_cache; }

private:
    QCoro::Task<std::optional<QImage>> fetch(QUrl url);
    /// The size that covers every display, each at its own pixel size.
    QSize coverSize() const;

    const PlaylistSync& m_sync;
    QNetworkAccessManager& m_network;
    const Screens& m_screens;
    ImageCache m_cache;
};

} // namespace lumi
