#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

#include <chrono>
#include <optional>

class QNetworkAccessManager;

namespace lumi {

class Clock;
class ProblemSink;
struct FileIdentity;
struct MediaFormat;
struct Medium;

/// Fetches one catalog photo's variant into its file in a playlist folder. The body goes to
/// "<file>.part" and replaces the file only after status 200 and at least 65536 bytes, so a short,
/// refused or broken transfer never costs a good photo. Every call that makes a request takes at
/// least one second on the clock: the CDN is never asked for more than one photo a second.
class PhotoDownloader final
{
public:
    static constexpr qint64 minimumBytes = 65536;
    static constexpr int timeoutMs = 60'000;
    static constexpr std::chrono::milliseconds minimumDuration{1000};

    enum class Outcome {
        fetched, ///< the destination holds the new photo
        failed,  ///< worth another try: the transfer, the disk or the server failed
        missing, ///< the service has no such photo (403, 404, no address) until its listing changes
    };

    /// The session, clock and reporter must outlive the downloader.
    PhotoDownloader(QNetworkAccessManager& network, Clock& clock, ProblemSink& reporter);

    /// The variant "<width>x<height>c1.jpg" of the photo; without the CDN every ".cdn." of the
    /// address becomes ".". None when the photo has no usable base address.
    static std::optional<QUrl> variantUrl(const Medium& photo, const MediaFormat& format, bool useCdn);
    /// A photo file that is there and holds at least 65536 bytes; its identity goes to identity,
    /// when given, so a caller that places it next need not read it again.
    static bool isUsableFile(const QString& path, FileIdentity* identity = nullptr);

    /// Never throws; every failure is one line in the "sync" log, and a 403 or 404 is also
    /// reported as a missing variant. A photo without a base address is missing at once, without
    /// a line or a pause.
    QCoro::Task<Outcome> download(Medium photo, MediaFormat format, bool useCdn, QString destination,
                                  CancelToken cancel = {});

private:
    QCoro::Task<Outcome> fetch(QString shortId, QUrl url, QString destination, CancelToken cancel);
    void reportMissing(int status, const QUrl& url);

    QNetworkAccessManager& m_network;
    Clock& m_clock;
    ProblemSink& m_reporter;
    AppLog m_log;
};

} // namespace lumi
