#include "library/PhotoDownloader.h"
#include "model/LogStore.h"
#include "model/MediaFormat.h"
#include "model/Medium.h"
#include "services/CrashReporter.h"
#include "support/FileSizeLimit.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(std::optional<QString>)

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const MediaFormat format{2560, 1440, 1.78};
const QByteArray goodPhoto(70'000, 'G');

QCoro::Task<void> recordDownload(PhotoDownloader* downloader, Medium photo, QString destination,
                                 std::optional<bool>* result)
{
    *result =
        co_await downloader->download(photo, format, true, destination) == PhotoDownloader::Outcome::fetched;
}

// A server that promises more than it sends: the status line says 200 and the body stops after
// 70000 of 200000 bytes, as when a connection breaks in the middle of a photo.
class TruncatingServer final : public QTcpServer
{
public:
    TruncatingServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                socket->readAll();
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 200000\r\n\r\n");
                socket->write(QByteArray(70'000, 'T'));
                socket->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
};

} // namespace

class PhotoDownloaderTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void variantUrl_data();
    void variantUrl();
    void isUsableFile_data();
    void isUsableFile();
    void acceptsOnlyAWholePhotoWithStatus200_data();
    void acceptsOnlyAWholePhotoWithStatus200();
    void redirectsOnlyToAllowedAddresses_data();
    void redirectsOnlyToAllowedAddresses();
    void truncatedBodyNeverReplacesAGoodPhoto();
    void leftoverPartFileMakesWay_data();
    void leftoverPartFileMakesWay();
    void fullDiskIsLoggedWithItsReason();
    void everyCallTakesAtLeastOneSecond_data();
    void everyCallTakesAtLeastOneSecond();
    void photoWithoutAddressFailsAtOnce();

private:
    bool download(const Medium& photo, const QString& destination);
    QStringList syncLines() const;

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<test::ManualClock> m_clock;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<PhotoDownloader> m_downloader;
    QList<CrashReport> m_reports;
    Medium m_photo;
    QString m_folder;
};

void PhotoDownloaderTest::init()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    const QJsonArray media =
        m_sandbox->call("GET", u"media/today?page=1&per_page=1"_s, m_sandbox->signInToken())
            .json()
            .toObject()
            .value(u"media"_s)
            .toArray();
    QVERIFY(!media.isEmpty());
    const std::optional<Medium> photo = Medium::fromJson(media.first());
    QVERIFY(photo);
    m_photo = *photo;
    m_sandbox->clearRequests();

    m_network = std::make_unique<QNetworkAccessManager>();
    m_network->setProxy(QNetworkProxy::NoProxy);
    m_clock = std::make_unique<test::ManualClock>();
    m_reporter = std::make_unique<CrashReporter>();
    m_reports.clear();
    connect(m_reporter.get(), &CrashReporter::reported, this,
            [this](const CrashReport& report) { m_reports.append(report); });
    m_downloader = std::make_unique<PhotoDownloader>(*m_network, *m_clock, *m_reporter);
    m_folder = m_sandbox->homePath() + u"/Lumivale Playlist/Trip"_s;
    QVERIFY(QDir().mkpath(m_folder));
}

void PhotoDownloaderTest::cleanup()
{
    m_downloader.reset();
    m_reporter.reset();
    m_clock.reset();
    m_network.reset();
    m_sandbox.reset();
}

// Runs one download to its end, moving the clock past the pause once the transfer is over.
bool PhotoDownloaderTest::download(const Medium& photo, const QString& destination)
{
    std::optional<bool> result;
    QCoro::Task<void> task = recordDownload(m_downloader.get(), photo, destination, &result);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(result || m_clock->sleeperCount() > 0, 30'000); }();
    m_clock->advance(1s);
    [&] { QTRY_VERIFY(result); }();
    return result.value_or(false);
}

QStringList PhotoDownloaderTest::syncLines() const
{
    QStringList lines;
    for (const QString& line : LogStore::shared().recent()) {
        if (line.contains(u"[sync]"_s))
            lines.append(line.mid(line.indexOf(u"[sync] "_s) + 7));
    }
    return lines;
}

void PhotoDownloaderTest::variantUrl_data()
{
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("useCdn");
    QTest::addColumn<std::optional<QString>>("expected");

    QTest::newRow("with the CDN") << u"https://img.cdn.lumivale.com/p/3fa9/"_s << true
                                  << std::optional(u"https://img.cdn.lumivale.com/p/3fa9/2560x1440c1.jpg"_s);
    QTest::newRow("without the CDN") << u"https://img.cdn.lumivale.com/p/3fa9/"_s << false
                                     << std::optional(u"https://img.lumivale.com/p/3fa9/2560x1440c1.jpg"_s);
    QTest::newRow("every .cdn. goes") << u"https://a.cdn.b.cdn.example/x.cdn.y/"_s << false
                                      << std::optional(u"https://a.b.example/x.y/2560x1440c1.jpg"_s);
    QTest::newRow("nothing to rewrite") << u"https://img.lumivale.com/p/"_s << false
                                        << std::optional(u"https://img.lumivale.com/p/2560x1440c1.jpg"_s);
    QTest::newRow("plain http elsewhere is refused")
        << u"http://img.lumivale.com/p/"_s << true << std::optional<QString>();
    QTest::newRow("file address is refused") << u"file:///etc/"_s << true << std::optional<QString>();
    QTest::newRow("no base") << QString() << true << std::optional<QString>();
}

void PhotoDownloaderTest::variantUrl()
{
    QFETCH(QString, base);
    QFETCH(bool, useCdn);
    QFETCH(std::optional<QString>, expected);

    Medium photo;
    photo.uuid = u"3fa9c21e"_s;
    if (!base.isEmpty())
        photo.secureBaseUrl = base;
    const std::optional<QUrl> url = PhotoDownloader::variantUrl(photo, format, useCdn);
    QCOMPARE(url ? std::optional(url->toString()) : std::nullopt, expected);
}

void PhotoDownloaderTest::isUsableFile_data()
{
    QTest::addColumn<int>("size"); // -1: nothing there, -2: a folder
    QTest::addColumn<bool>("usable");

    QTest::newRow("missing") << -1 << false;
    QTest::newRow("folder") << -2 << false;
    QTest::newRow("10 bytes") << 10 << false;
    QTest::newRow("65535 bytes") << 65535 << false;
    QTest::newRow("65536 bytes") << 65536 << true;
}

void PhotoDownloaderTest::isUsableFile()
{
    QFETCH(int, size);
    QFETCH(bool, usable);

    const QString path = m_folder + u"/Sunset-1a2b3c4d.jpg"_s;
    if (size == -2)
        QVERIFY(QDir().mkpath(path));
    if (size >= 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
    }
    QCOMPARE(PhotoDownloader::isUsableFile(path), usable);
}

void PhotoDownloaderTest::acceptsOnlyAWholePhotoWithStatus200_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("logged");     // the start of the sync line, after the short id
    QTest::addColumn<int>("reportedStatus"); // 0: nothing reported

    const QString cdn = u"/cdn/*"_s;
    const QString bigBody(70'000, u'b');
    QTest::newRow("200, whole photo") << QJsonObject() << true << QString() << 0;
    QTest::newRow("200, slow") << QJsonObject{{u"path"_s, cdn}, {u"delayMs"_s, 300}} << true << QString()
                               << 0;
    QTest::newRow("200, short photo") << QJsonObject{{u"path"_s, cdn}, {u"photo"_s, u"short"_s}} << false
                                      << u": HTTP 200, 1000 bytes"_s << 0;
    QTest::newRow("404, missing photo")
        << QJsonObject{{u"path"_s, cdn}, {u"photo"_s, u"missing"_s}} << false << u": HTTP 404,"_s << 404;
    QTest::newRow("403") << QJsonObject{{u"path"_s, cdn}, {u"status"_s, 403}} << false << u": HTTP 403,"_s
                         << 403;
    QTest::newRow("500") << QJsonObject{{u"path"_s, cdn}, {u"status"_s, 500}} << false << u": HTTP 500,"_s
                         << 0;
    QTest::newRow("201 with a large body")
        << QJsonObject{{u"path"_s, cdn}, {u"status"_s, 201}, {u"body"_s, bigBody}} << false
        << u": HTTP 201, 70000 bytes"_s << 0;
    QTest::newRow("206 with a large body")
        << QJsonObject{{u"path"_s, cdn}, {u"status"_s, 206}, {u"body"_s, bigBody}} << false
        << u": HTTP 206, 70000 bytes"_s << 0;
    QTest::newRow("dropped connection")
        << QJsonObject{{u"path"_s, cdn}, {u"drop"_s, true}} << false << u" failed: "_s << 0;
}

void PhotoDownloaderTest::acceptsOnlyAWholePhotoWithStatus200()
{
    QFETCH(QJsonObject, fault);
    QFETCH(bool, accepted);
    QFETCH(QString, logged);
    QFETCH(int, reportedStatus);

    if (!fault.isEmpty())
        QVERIFY(m_sandbox->addFault(fault));
    const QString destination = m_folder + u"/Sunset-"_s + m_photo.shortId() + u".jpg"_s;
    {
        QFile good(destination);
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(goodPhoto);
    }
    m_sandbox->clearRequests();
    const QDateTime started = m_clock->now();

    QCOMPARE(download(m_photo, destination), accepted);

    // Qt sends a GET once more when a connection drops before any answer.
    const QJsonArray requests = m_sandbox->requests();
    QVERIFY(!requests.isEmpty());
    for (const QJsonValue& request : requests)
        QCOMPARE(request.toObject().value(u"path"_s).toString(),
                 u"/cdn/"_s + m_photo.uuid + u"/2560x1440c1.jpg"_s);
    const QByteArray content = test::contentOf(destination);
    if (accepted) {
        QVERIFY(content.size() >= 65536);
        QVERIFY(content.startsWith("\xff\xd8"));
        QVERIFY(syncLines().isEmpty());
    } else {
        QCOMPARE(content, goodPhoto);
        QCOMPARE(syncLines().size(), 1);
        QVERIFY2(syncLines().first().startsWith(u"download "_s + m_photo.shortId() + logged),
                 qPrintable(syncLines().first()));
    }
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(destination).fileName()});

    if (reportedStatus == 0) {
        QVERIFY(m_reports.isEmpty());
        return;
    }
    QCOMPARE(m_reports.size(), 1);
    const CrashReport& report = m_reports.first();
    const QString message = u"wallpaper variant missing (HTTP %1)"_s.arg(reportedStatus);
    QCOMPARE(report.process, u"wallpaper"_s);
    QCOMPARE(report.message, message);
    QCOMPARE(report.stack, m_photo.sizedImageURL(format, u"c1"_s)->toString());
    QCOMPARE(report.fingerprint, CrashReport::fingerprintOf({u"wallpaper"_s, message}));
    QCOMPARE(report.occurredAt, started);
}

void PhotoDownloaderTest::redirectsOnlyToAllowedAddresses_data()
{
    QTest::addColumn<bool>("elsewhere"); // else back to the sandbox's CDN
    QTest::newRow("to the same CDN") << false;
    QTest::newRow("to another host over http") << true;
}

void PhotoDownloaderTest::redirectsOnlyToAllowedAddresses()
{
    QFETCH(bool, elsewhere);
    // Another loopback address stands in for a foreign host; it counts who knocks.
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress(u"127.0.0.2"_s)));
    int knocks = 0;
    connect(&other, &QTcpServer::newConnection, &other, [&] {
        ++knocks;
        other.nextPendingConnection()->abort();
    });
    const QString path = u"/cdn/"_s + m_photo.uuid + u"/2560x1440c1.jpg"_s;
    QUrl target = m_sandbox->serverUrl().resolved(QUrl(path));
    if (elsewhere) {
        target.setHost(u"127.0.0.2"_s);
        target.setPort(other.serverPort());
    }
    QVERIFY(m_sandbox->addFault({{u"path"_s, path}, {u"redirect"_s, target.toString()}, {u"times"_s, 1}}));
    const QString destination = m_folder + u"/Sunset-"_s + m_photo.shortId() + u".jpg"_s;
    QVERIFY(test::writeFile(destination, goodPhoto));

    QCOMPARE(download(m_photo, destination), !elsewhere);
    QCOMPARE(knocks, 0);
    if (elsewhere)
        QCOMPARE(test::contentOf(destination), goodPhoto);
}

void PhotoDownloaderTest::truncatedBodyNeverReplacesAGoodPhoto()
{
    TruncatingServer server;
    QVERIFY(server.isListening());
    Medium photo = m_photo;
    photo.secureBaseUrl = u"http://127.0.0.1:%1/cdn/x/"_s.arg(server.serverPort());
    const QString destination = m_folder + u"/Sunset-"_s + photo.shortId() + u".jpg"_s;
    {
        QFile good(destination);
        QVERIFY(good.open(QIODevice::WriteOnly));
        good.write(goodPhoto);
    }

    QVERIFY(!download(photo, destination));

    QCOMPARE(test::contentOf(destination), goodPhoto);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(destination).fileName()});
    QCOMPARE(syncLines().size(), 1);
    QVERIFY2(syncLines().first().startsWith(u"download "_s + photo.shortId() + u" failed: "_s),
             qPrintable(syncLines().first()));
    QVERIFY(m_reports.isEmpty());
}

void PhotoDownloaderTest::leftoverPartFileMakesWay_data()
{
    QTest::addColumn<bool>("link"); // a symbolic link to someone's photo, else a half download
    QTest::newRow("a half download") << false;
    QTest::newRow("a link to another photo") << true;
}

void PhotoDownloaderTest::leftoverPartFileMakesWay()
{
    QFETCH(bool, link);
    const QString destination = m_folder + u"/Sunset-"_s + m_photo.shortId() + u".jpg"_s;
    const QString part = destination + u".part"_s;
    const QString other = m_sandbox->homePath() + u"/other.jpg"_s;
    QVERIFY(test::writeFile(other, goodPhoto));
    if (link)
        QVERIFY(QFile::link(other, part));
    else
        QVERIFY(test::writeFile(part, "half a pho"));

    QVERIFY(download(m_photo, destination));

    QVERIFY(test::contentOf(destination).startsWith("\xff\xd8"));
    QVERIFY(test::contentOf(destination).size() >= 65536);
    QCOMPARE(test::contentOf(other), goodPhoto);
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{QFileInfo(destination).fileName()});
}

void PhotoDownloaderTest::fullDiskIsLoggedWithItsReason()
{
    const QString destination = m_folder + u"/a-1a2b3c4d.jpg"_s;
    bool fetched = true;
    {
        const test::FileSizeLimit fullDisk(40'000); // below one photo
        QVERIFY(fullDisk.isActive());
        fetched = download(m_photo, destination);
    }

    QVERIFY(!fetched);
    QVERIFY(!QFile::exists(destination));
    QVERIFY(!QFile::exists(destination + u".part"_s));
    QCOMPARE(syncLines(), QStringList{u"download "_s + m_photo.shortId() + u" failed: "_s +
                                      QString::fromLocal8Bit(std::strerror(EFBIG))});
}

void PhotoDownloaderTest::everyCallTakesAtLeastOneSecond_data()
{
    QTest::addColumn<bool>("missing");
    QTest::newRow("good photo") << false;
    QTest::newRow("missing photo") << true;
}

void PhotoDownloaderTest::everyCallTakesAtLeastOneSecond()
{
    QFETCH(bool, missing);
    if (missing)
        QVERIFY(m_sandbox->addFault({{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, u"missing"_s}}));
    std::optional<bool> result;
    const QCoro::Task<void> task =
        recordDownload(m_downloader.get(), m_photo, m_folder + u"/a-1a2b3c4d.jpg"_s, &result);
    QTRY_COMPARE_WITH_TIMEOUT(m_clock->sleeperCount(), 1, 30'000);
    QCOMPARE(m_sandbox->requests().size(), 1); // the answer is in

    m_clock->advance(999ms);
    QCoreApplication::processEvents();
    QVERIFY(!result);
    m_clock->advance(1ms);
    QTRY_COMPARE(result, std::optional(!missing));
}

void PhotoDownloaderTest::photoWithoutAddressFailsAtOnce()
{
    Medium photo = m_photo;
    photo.secureBaseUrl.reset();
    std::optional<bool> result;
    const QCoro::Task<void> task =
        recordDownload(m_downloader.get(), photo, m_folder + u"/a-1a2b3c4d.jpg"_s, &result);
    QCOMPARE(result, std::optional(false));
    QCOMPARE(m_clock->sleeperCount(), 0);
    QVERIFY(syncLines().isEmpty());
    QVERIFY(m_sandbox->requests().isEmpty());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoDownloaderTest)
#include "PhotoDownloaderTest.moc"
