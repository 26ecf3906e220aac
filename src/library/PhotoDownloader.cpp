#include "library/PhotoDownloader.h"

#include "library/FileIdentity.h"
#include "library/FileTransfer.h"
#include "library/LibraryFiles.h"
#include "model/Clock.h"
#include "model/CrashReport.h"
#include "model/InFlightFiles.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"
#include "model/ProblemSink.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Qt raises HTTP error statuses as reply errors too; those still are answers of the server,
// judged by their status. Anything else (refused, dropped, timed out, cancelled) is a failed
// transfer, even after a status line arrived.
bool isHttpAnswer(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return error == QNetworkReply::NoError || (code >= 201 && code <= 299) || (code >= 401 && code <= 499);
}

} // namespace

PhotoDownloader::PhotoDownloader(QNetworkAccessManager& network, Clock& clock, ProblemSink& reporter)
    : m_network(network), m_clock(clock), m_reporter(reporter), m_log(u"sync"_s)
{
}

std::optional<QUrl> PhotoDownloader::variantUrl(const Medium& photo, const MediaFormat& format, bool useCdn)
{
    const std::optional<QUrl> url = photo.sizedImageURL(format.width, format.height, u"c1"_s);
    if (!url || useCdn)
        return url;
    QString text = url->toString(QUrl::FullyEncoded);
    text.replace(u".cdn."_s, u"."_s);
    const QUrl direct(text, QUrl::StrictMode);
    return direct.isValid() ? direct : *url;
}

bool PhotoDownloader::isUsableFile(const QString& path, FileIdentity* identity)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size < minimumBytes)
        return false;
    if (identity)
        *identity = FileIdentity{quint64(info.st_dev), quint64(info.st_ino)};
    return true;
}

QCoro::Task<PhotoDownloader::Outcome> PhotoDownloader::download(Medium photo, MediaFormat format, bool useCdn,
                                                                QString destination, CancelToken cancel)
{
    const std::optional<QUrl> url = variantUrl(photo, format, useCdn);
    if (!url)
        co_return Outcome::missing;
    const std::chrono::milliseconds started = m_clock.monotonic();
    const Outcome outcome = co_await fetch(photo.shortId(), *url, destination, cancel);
    const std::chrono::milliseconds elapsed = m_clock.monotonic() - started;
    // The service's rule toward its CDN: one photo a second at most, whatever the outcome. The
    // pause is cut short when the pass is cancelled.
    if (elapsed < minimumDuration)
        co_await m_clock.sleep(minimumDuration - elapsed, cancel);
    co_return outcome;
}

QCoro::Task<PhotoDownloader::Outcome> PhotoDownloader::fetch(QString shortId, QUrl url, QString destination,
                                                             CancelToken cancel)
{
    // O_EXCL guarantees a fresh file: nothing is written through a link that someone left under
    // that name. A leftover part file of an interrupted download goes, and the open is tried again.
    const QString part = destination + u".part"_s;
    QFile file(part);
    const InFlightFiles::Claim claim(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (LibraryFiles::existsNoFollow(part) && !LibraryFiles::removeFileOrLink(part)) {
            m_log.info(u"download %1 failed: %2 is in the way"_s.arg(shortId, part));
            co_return Outcome::failed;
        }
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_log.info(u"download %1 failed: %2"_s.arg(shortId, file.errorString()));
            co_return Outcome::failed;
        }
    }

    const FileTransfer transfer = co_await FileTransfer::get(&m_network, url, &file, timeoutMs, cancel);
    const int status = transfer.status;
    const QNetworkReply::NetworkError error = transfer.error;
    const qint64 received = transfer.received;
    const bool writeFailed = transfer.writeFailed;
    if (status == 200 && error == QNetworkReply::NoError && received >= minimumBytes && !writeFailed) {
        QString moveError;
        if (LibraryFiles::replace(part, destination, &moveError))
            co_return Outcome::fetched;
        LibraryFiles::removeFileOrLink(part);
        m_log.info(u"download %1 failed: %2"_s.arg(shortId, moveError));
        co_return Outcome::failed;
    }

    LibraryFiles::removeFileOrLink(part);
    if (status == 0 || !isHttpAnswer(error)) {
        m_log.info(u"download %1 failed: %2"_s.arg(shortId, transfer.errorString));
        co_return Outcome::failed;
    }
    if (writeFailed) {
        m_log.info(u"download %1 failed: %2"_s.arg(shortId, transfer.writeError));
        co_return Outcome::failed;
    }
    m_log.info(u"download %1: HTTP %2, %3 bytes"_s.arg(shortId).arg(status).arg(received));
    if (status != 403 && status != 404)
        co_return Outcome::failed;
    reportMissing(status, url);
    co_return Outcome::missing;
}

void PhotoDownloader::reportMissing(int status, const QUrl& url)
{
    const QString message = u"wallpaper variant missing (HTTP %1)"_s.arg(status);
    m_reporter.report(
        CrashReport::problem(u"wallpaper"_s, message, url.toString(QUrl::FullyEncoded), m_clock.now()));
}

} // namespace lumi
