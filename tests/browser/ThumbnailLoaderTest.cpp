#include "browser/ThumbnailLoader.h"
#include "support/state/ModelHarness.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;
using lumi::Medium;
using lumi::ThumbnailLoader;
using lumi::test::ModelHarness;

namespace {

const QSize tileSize(320, 180);

// Whether the sandbox has received a request for this path.
bool received(ModelHarness& harness, const QString& path)
{
    const QJsonArray requests = harness.sandbox.requests();
    return std::any_of(requests.begin(), requests.end(),
                       [&](const QJsonValue& request) { return request[u"path"_s].toString() == path; });
}

// Loads a thumbnail and waits for its picture; a null image when none came.
QImage loadAndWait(ThumbnailLoader& loader, const QUrl& url)
{
    std::optional<QImage> picture;
    loader.load(url, tileSize, [&picture](const QImage& image) { picture = image; });
    if (!QTest::qWaitFor([&picture] { return picture.has_value(); }))
        return QImage();
    return *picture;
}

} // namespace

class ThumbnailLoaderTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void unusableAddressesAreNotFetched_data();
    void unusableAddressesAreNotFetched();
    void aLoaderGoneWhileFetchingNeverCallsBack();

private:
    std::unique_ptr<ModelHarness> m_harness;
    QList<Medium> m_photos;
};

void ThumbnailLoaderTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    m_harness->launchSignedIn();
    m_photos = m_harness->catalogPhotos(2);
    m_harness->sandbox.clearRequests();
}

void ThumbnailLoaderTest::cleanup()
{
    m_harness.reset();
}

void ThumbnailLoaderTest::unusableAddressesAreNotFetched_data()
{
    QTest::addColumn<QUrl>("url");

    QTest::newRow("empty") << QUrl();
    QTest::newRow("file with an empty path") << QUrl::fromLocalFile(QString());
    QTest::newRow("relative") << QUrl(u"640x360.jpg"_s);
    QTest::newRow("no host") << QUrl(u"http:///cdn/640x360.jpg"_s);
    QTest::newRow("other scheme") << QUrl(u"ftp://127.0.0.1/cdn/640x360.jpg"_s);
}

void ThumbnailLoaderTest::unusableAddressesAreNotFetched()
{
    QFETCH(QUrl, url);

    ThumbnailLoader loader(m_harness->api.network());
    bool calledBack = false;
    QCOMPARE(loader.load(url, tileSize, [&calledBack](const QImage&) { calledBack = true; }), 0u);
    // A real picture after it: a failed request for the unusable one would have answered by then.
    QVERIFY(!loadAndWait(loader, *m_photos[0].thumbnailURL()).isNull());
    QVERIFY(!calledBack);
}

void ThumbnailLoaderTest::aLoaderGoneWhileFetchingNeverCallsBack()
{
    const QUrl slow = *m_photos[0].thumbnailURL();
    m_harness->sandbox.addFault(QJsonObject{{u"path"_s, slow.path()}, {u"delayMs"_s, 800}});

    auto loader = std::make_unique<ThumbnailLoader>(m_harness->api.network());
    bool calledBack = false;
    QVERIFY(loader->load(slow, tileSize, [&calledBack](const QImage&) { calledBack = true; }) != 0);
    QTRY_VERIFY(received(*m_harness, slow.path()));
    loader.reset();

    // The same slow answer again, for a new loader: the first one's answer has come and gone by then.
    ThumbnailLoader next(m_harness->api.network());
    QVERIFY(!loadAndWait(next, slow).isNull());
    QVERIFY(!calledBack);
}

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    ThumbnailLoaderTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ThumbnailLoaderTest.moc"
