#pragma once

#include "model/CancelToken.h"

#include <QCoroTask>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

class QFile;
class QNetworkAccessManager;

namespace lumi {

/// What one GET streamed into a file brought.
struct FileTransfer
{
    int status = 0; ///< the HTTP status; 0 when no answer came
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorString;
    qint64 received = 0;
    bool writeFailed = false;
    QString writeError; ///< why the file could not take the body (a full disk, say)

    /// Streams a GET of url into the open file, never through the HTTP cache: an old cached copy
    /// must never stand in for a failed answer, and the file is kept on disk anyway. The file is
    /// closed at the end; the caller keeps it alive until the task is done. Redirects are followed
    /// only to addresses CdnUrl allows.
    static QCoro::Task<FileTransfer> get(QNetworkAccessManager* network, QUrl url, QFile* file, int timeoutMs,
                                         CancelToken cancel);
};

} // namespace lumi
