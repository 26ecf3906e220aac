#pragma once

#include "model/CancelToken.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

namespace lumi {

/// Fetches the catalog variant of a photo that a wallpaper is composed from. The body goes to
/// "<target>.part" and replaces the target only after status 200 and at least 32768 bytes.
class VariantDownloader final
{
public:
    static constexpr qint64 minimumBytes = 32768;
    static constexpr int timeoutMs = 60'000;

    /// The session must outlive the downloader. A download in flight touches nothing of the
    /// downloader once its request is sent, so the owner may go away meanwhile.
    explicit VariantDownloader(QNetworkAccessManager& network);

    /// Puts the variant at url into target. Throws WallpaperError: `download` with the status
    /// (0 when no HTTP answer came), `tooSmall` for a short or broken-off body, `system` when the
    /// file can't be written or moved.
    QCoro::Task<void> download(QUrl url, QString target, CancelToken cancel);

private:
    QNetworkAccessManager& m_network;
};

} // namespace lumi
