#include "state/UrlCache.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class UrlCacheTest final : public QObject
{
    Q_OBJECT

private slots:
    void storesAllButTheApi_data();
    void storesAllButTheApi();
};

void UrlCacheTest::storesAllButTheApi_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<bool>("stored");

    QTest::newRow("api") << QUrl(u"http://127.0.0.1:4711/api/v6/users"_s) << false;
    QTest::newRow("api with query") << QUrl(u"http://127.0.0.1:4711/api/v6/albums?page=1"_s) << false;
    QTest::newRow("photo on the same server") << QUrl(u"http://127.0.0.1:4711/cdn/abc/640x360.jpg"_s) << true;
    QTest::newRow("same path elsewhere") << QUrl(u"http://127.0.0.1:4712/api/v6/users"_s) << true;
    QTest::newRow("path that only starts alike") << QUrl(u"http://127.0.0.1:4711/api/v60/x"_s) << true;
}

void UrlCacheTest::storesAllButTheApi()
{
    QFETCH(QUrl, url);
    QFETCH(bool, stored);
    QTemporaryDir dir;
    lumi::UrlCache cache(QUrl(u"http://127.0.0.1:4711/api/v6"_s), dir.path(), 1024 * 1024);
    QNetworkCacheMetaData metaData;
    metaData.setUrl(url);
    metaData.setSaveToDisk(true);

    QIODevice* device = cache.prepare(metaData);
    QCOMPARE(device != nullptr, stored);
    if (device) {
        device->write("photo");
        cache.insert(device);
        QCOMPARE(cache.metaData(url).url(), url);
    }
}

QTEST_GUILESS_MAIN(UrlCacheTest)
#include "UrlCacheTest.moc"
