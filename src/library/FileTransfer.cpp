#include "library/FileTransfer.h"

#include "library/LibraryFiles.h"
#include "model/CdnUrl.h"
#include "model/ReplyFinished.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

#include <memory>

namespace lumi {

namespace {

struct DeleteLater
{
    void operator()(QObject* object) const { object->deleteLater(); }
};

} // namespace

QCoro::Task<FileTransfer> FileTransfer::get(QNetworkAccessManager* network, QUrl url, QFile* file,
                                            int timeoutMs, CancelToken cancel)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(CdnUrl::get(*network, request));
    cancel.abortOnCancel(reply.get());

    FileTransfer result;
    const auto drain = [&] {
        const QByteArray chunk = reply->readAll();
        result.received += chunk.size();
        if (!result.writeFailed && !LibraryFiles::writeAll(*file, chunk, &result.writeError))
            result.writeFailed = true;
    };
    const QMetaObject::Connection streaming = QObject::connect(reply.get(), &QNetworkReply::readyRead, drain);
    co_await ReplyFinished(reply.get());
    QObject::disconnect(streaming);
    // An aborted reply is closed and has nothing left to read.
    if (reply->isOpen())
        drain();
    // The reason is read before closing: a closed file no longer knows it.
    if (!result.writeFailed && !file->flush()) {
        result.writeFailed = true;
        result.writeError = file->errorString();
    }
    file->close();
    if (!result.writeFailed && file->error() != QFileDevice::NoError) {
        result.writeFailed = true;
        result.writeError = file->errorString();
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.error = reply->error();
    result.errorString = reply->errorString();
    co_return result;
}

} // namespace lumi
