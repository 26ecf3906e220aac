#include "library/PlaylistMediaFetcher.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"
#include "wallpaper/PhotoPool.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::AppModel;
using lumi::MediaQuery;
using lumi::Medium;
using lumi::PlaceQuery;
using lumi::test::ModelHarness;
using lumi::test::runTask;

namespace {

// What each listing of photos sends, request line by request line, whichever part of the app asks.
// The places slugs are written %c, %r and %p.
enum class Caller { syncListing, wallpaperPool, browserPage, saverPool, describedPage };

// A first page the size of the walkers' pages, so that they ask for the next one.
QByteArray fullPage()
{
    QJsonArray media;
    for (int i = 0; i < 500; ++i)
        media.append(QJsonObject{{u"uuid"_s, u"%1-0000-4000-8000-000000000000"_s.arg(i, 8, 16, QChar(u'0'))},
                                 {u"title"_s, u"Filler"_s}});
    return QJsonDocument(QJsonObject{{u"media"_s, media}}).toJson(QJsonDocument::Compact);
}

Album playlist(ModelHarness& h, const QString& fragment)
{
    const Album album = h.album(fragment);
    if (album.titleFragment != fragment)
        qFatal("no playlist %s", qPrintable(fragment));
    return album;
}

} // namespace

Q_DECLARE_METATYPE(Caller)

class MediaRequestsTest final : public QObject
{
    Q_OBJECT

private slots:
    void requestLines_data();
    void requestLines();
};

void MediaRequestsTest::requestLines_data()
{
    QTest::addColumn<Caller>("caller");
    QTest::addColumn<QString>("variant");
    QTest::addColumn<QStringList>("lines");

    const QString mornings = u"GET /media/playlists/mountain-mornings?page=%1&per_page=500"_s;
    const QString favorites = u"GET /media/playlists/favorites?page=1&per_page=500"_s;
    QTest::newRow("sync: one short page") << Caller::syncListing << u""_s << QStringList{mornings.arg(1)};
    QTest::newRow("sync: a full page asks for the next")
        << Caller::syncListing << u"full"_s << QStringList{mornings.arg(1), mornings.arg(2)};
    QTest::newRow("wallpaper pool: marked playlists in order")
        << Caller::wallpaperPool << u""_s << QStringList{favorites, mornings.arg(1)};
    QTest::newRow("wallpaper pool: a full page asks for the next")
        << Caller::wallpaperPool << u"full"_s << QStringList{favorites, mornings.arg(1), mornings.arg(2)};
    QTest::newRow("wallpaper pool: photos of the day")
        << Caller::wallpaperPool << u"none marked"_s << QStringList{u"GET /media/today?page=1&per_page=10"_s};
    QTest::newRow("browser page: plain")
        << Caller::browserPage << u""_s << QStringList{u"GET /media/today?page=1&per_page=60"_s};
    QTest::newRow("browser page: search and descriptions")
        << Caller::browserPage << u"search"_s
        << QStringList{
               u"GET /media/playlists/mountain-mornings?page=3&per_page=24&search=misty%20lake%20%26%20fog"
               u"&with_description=true"_s};
    QTest::newRow("browser page: empty search")
        << Caller::browserPage << u"empty search"_s
        << QStringList{u"GET /media/channels/forests?page=2&per_page=60"_s};
    QTest::newRow("saver pool: chosen playlists")
        << Caller::saverPool << u""_s
        << QStringList{u"GET /media/playlists/editor-s-picks?page=1&per_page=500"_s};
    QTest::newRow("saver pool: newest when the playlists give nothing")
        << Caller::saverPool << u"failing"_s
        << QStringList{u"GET /media/playlists/editor-s-picks?page=1&per_page=500"_s,
                       u"GET /media/classic/latest?page=1&per_page=60"_s};
    QTest::newRow("described page: a listing")
        << Caller::describedPage << u""_s
        << QStringList{u"GET /media/channels/forests?page=1&per_page=80&search=fog&with_description=true"_s};
    QTest::newRow("described page: a place")
        << Caller::describedPage << u"place"_s
        << QStringList{u"GET /places/media?page=1&per_page=60&place=%p&with_description=true"_s};
    QTest::newRow("described page: a region")
        << Caller::describedPage << u"region"_s
        << QStringList{u"GET /places/media?country=%c&page=1&per_page=60&region=%r&with_description=true"_s};
}

void MediaRequestsTest::requestLines()
{
    QFETCH(Caller, caller);
    QFETCH(QString, variant);
    QFETCH(QStringList, lines);

    ModelHarness h;
    h.launchSignedIn();
    const PlaceQuery featured = h.featuredPlace();
    QVERIFY(!featured.place->isEmpty());
    if (variant == u"full")
        QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/media/playlists/mountain-mornings"_s},
                                               {u"status"_s, 200},
                                               {u"body"_s, QString::fromUtf8(fullPage())},
                                               {u"times"_s, 1}}));
    if (variant == u"failing")
        QVERIFY(
            h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/media/playlists/*"_s}, {u"status"_s, 500}}));
    h.sandbox.clearRequests();

    switch (caller) {
    case Caller::syncListing: {
        lumi::PlaylistMediaFetcher fetcher(h.api, h.clock);
        std::optional<QList<Medium>> media;
        QVERIFY(!runTask(fetcher.fetchMediaPages(playlist(h, u"mountain-mornings"_s), {}), media));
        break;
    }
    case Caller::wallpaperPool: {
        lumi::PhotoPool::Sources sources;
        if (variant != u"none marked")
            sources.marked = {playlist(h, u"favorites"_s), playlist(h, u"mountain-mornings"_s)};
        std::optional<QList<Medium>> media;
        QVERIFY(!runTask(lumi::PhotoPool::gather(h.api, sources), media));
        break;
    }
    case Caller::browserPage: {
        std::optional<QList<Medium>> media;
        if (variant == u"search")
            QVERIFY(!runTask(h.catalog().fetchMediaPage(MediaQuery{.path = u"playlists/mountain-mornings"_s,
                                                                   .page = 3,
                                                                   .perPage = 24,
                                                                   .search = u"misty lake & fog"_s,
                                                                   .withDescription = true}),
                             media));
        else if (variant == u"empty search")
            QVERIFY(!runTask(h.catalog().fetchMediaPage(
                                 MediaQuery{.path = u"channels/forests"_s, .page = 2, .search = QString()}),
                             media));
        else
            QVERIFY(!runTask(h.catalog().fetchMediaPage(MediaQuery{.path = u"today"_s}), media));
        break;
    }
    case Caller::saverPool: {
        std::optional<QList<Medium>> media;
        QVERIFY(!runTask(h.saver().saverMedia(), media));
        QVERIFY(!media->isEmpty());
        break;
    }
    case Caller::describedPage: {
        std::optional<PlaceQuery> query;
        if (variant == u"place")
            query = featured;
        else if (variant == u"region")
            query = PlaceQuery{.country = featured.country, .region = featured.region};
        std::optional<std::optional<QList<Medium>>> media;
        QVERIFY(!runTask(
            h.saver().fetchDescribedMedia(query ? 60 : 80, u"channels/forests"_s, u"fog"_s, query), media));
        QVERIFY(media->has_value());
        break;
    }
    }

    for (QString& line : lines)
        line.replace(u"%c"_s, *featured.country)
            .replace(u"%r"_s, *featured.region)
            .replace(u"%p"_s, *featured.place);
    QCOMPARE(h.requestLines(), lines);
}

QTEST_MAIN(MediaRequestsTest)

#include "MediaRequestsTest.moc"
