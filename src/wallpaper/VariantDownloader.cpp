#include "wallpaper/VariantDownloader.h"

#include "library/LibraryFiles.h"
#include "model/AppLog.h"
#include "wallpaper/WallpaperError.h"

#include <QCoroNetworkReply>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

struct DeleteLater
{
    void operator()(QObject* object) const { object->deleteLater(); }
};

} // namespace

VariantDownloader::VariantDownloader(QNetworkAccessManager& network) : m_network(network) {}

QCoro::Task<void> VariantDownloader::download(QUrl url, QString target, CancelToken cancel)
{
    // O_EXCL on a fresh part file: nothing is written through a link left under that name.
    const QString part = target + u".part"_s;
    if (LibraryFiles::existsNoFollow(part) && !LibraryFiles::removeFileOrLink(part))
        throw WallpaperError::system(u"%1 is in the way"_s.arg(part));
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw WallpaperError::system(file.errorString());

    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    // The variant is kept on disk; a second copy in the HTTP cache would only crowd out the API.
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(m_network.get(request));
    const AppLog log(u"wallpaper"_s);
    cancel.abortOnCancel(reply.get());

    qint64 received = 0;
    bool writeFailed = false;
    const auto drain = [&] {
        const QByteArray chunk = reply->readAll();
        received += chunk.size();
        if (!writeFailed && file.write(chunk) != chunk.size())
            writeFailed = true;
    };
    const QMetaObject::Connection streaming = QObject::connect(reply.get(), &QNetworkReply::readyRead, drain);
    co_await reply.get();
    QObject::disconnect(streaming);
    drain();
    file.close();
    writeFailed = writeFailed || file.error() != QFileDevice::NoError;

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        LibraryFiles::removeFileOrLink(part);
        log.info(status == 0 ? u"variant download failed: "_s + reply->errorString()
                             : u"variant download: HTTP %1"_s.arg(status));
        throw WallpaperError::download(status);
    }
    // A 200 whose transfer broke off is as incomplete as a short one.
    if (reply->error() != QNetworkReply::NoError || received < minimumBytes) {
        LibraryFiles::removeFileOrLink(part);
        log.info(
            reply->error() == QNetworkReply::NoError
                ? u"variant download: only %1 bytes"_s.arg(received)
                : u"variant download broke off after %1 bytes: %2"_s.arg(received).arg(reply->errorString()));
        throw WallpaperError::tooSmall();
    }
    if (writeFailed) {
        LibraryFiles::removeFileOrLink(part);
        throw WallpaperError::system(file.errorString());
    }
    QString moveError;
    if (!LibraryFiles::replace(part, target, &moveError)) {
        LibraryFiles::removeFileOrLink(part);
        throw WallpaperError::system(moveError);
    }
}

} // namespace lumi
