#include "wallpaper/VariantDownloader.h"

#include "library/FileTransfer.h"
#include "library/LibraryFiles.h"
#include "model/AppLog.h"
#include "model/InFlightFiles.h"
#include "wallpaper/WallpaperError.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace Qt::StringLiterals;

namespace lumi {

VariantDownloader::VariantDownloader(QNetworkAccessManager& network) : m_network(network) {}

QCoro::Task<void> VariantDownloader::download(QUrl url, QString target, CancelToken cancel)
{
    // O_EXCL on a fresh part file: nothing is written through a link left under that name.
    const QString part = target + u".part"_s;
    if (LibraryFiles::existsNoFollow(part) && !LibraryFiles::removeFileOrLink(part))
        throw WallpaperError::system(u"%1 is in the way"_s.arg(part));
    QFile file(part);
    const InFlightFiles::Claim claim(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw WallpaperError::system(file.errorString());

    const AppLog log(u"wallpaper"_s);
    const FileTransfer transfer = co_await FileTransfer::get(&m_network, url, &file, timeoutMs, cancel);
    const int status = transfer.status;
    const qint64 received = transfer.received;
    if (status != 200) {
        LibraryFiles::removeFileOrLink(part);
        log.info(status == 0 ? u"variant download failed: "_s + transfer.errorString
                             : u"variant download: HTTP %1"_s.arg(status));
        throw WallpaperError::download(status);
    }
    // A 200 whose transfer broke off is as incomplete as a short one.
    if (transfer.error != QNetworkReply::NoError || received < minimumBytes) {
        LibraryFiles::removeFileOrLink(part);
        log.info(
            transfer.error == QNetworkReply::NoError
                ? u"variant download: only %1 bytes"_s.arg(received)
                : u"variant download broke off after %1 bytes: %2"_s.arg(received).arg(transfer.errorString));
        throw WallpaperError::tooSmall();
    }
    if (transfer.writeFailed) {
        LibraryFiles::removeFileOrLink(part);
        throw WallpaperError::system(transfer.writeError);
    }
    QString moveError;
    if (!LibraryFiles::replace(part, target, &moveError)) {
        LibraryFiles::removeFileOrLink(part);
        throw WallpaperError::system(moveError);
    }
}

} // namespace lumi
