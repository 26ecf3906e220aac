#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::Album;
using lumi::CatalogPages;
using lumi::Medium;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;

namespace {

Medium localPhoto(const QString& name)
{
    Medium photo;
    photo.uuid = u"local-"_s + name;
    photo.title = name.chopped(4);
    photo.localPath = u"/photos/"_s + name;
    return photo;
}

// Starts both loads before either is answered; records whether the tree was there as the second ended.
QCoro::Task<void> loadTwice(CatalogPages& catalog, bool firstForced, bool secondForced, bool& treeAtSecondEnd)
{
    QCoro::Task<void> first = catalog.loadPlaces(firstForced);
    QCoro::Task<void> second = catalog.loadPlaces(secondForced);
    co_await second;
    treeAtSecondEnd = catalog.placesTree().has_value();
    co_await first;
}

} // namespace

class CatalogPagesTest final : public QObject
{
    Q_OBJECT

private slots:
    void placesLoadAtMostHourly();
    void overlappingPlacesLoads_data();
    void overlappingPlacesLoads();
    void placesPageAsksForThePlace();
    void mediaPageAddsLocalPhotosToTheLastPlaylistPage_data();
    void mediaPageAddsLocalPhotosToTheLastPlaylistPage();
};

void CatalogPagesTest::placesLoadAtMostHourly()
{
    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    CatalogPages& catalog = h.catalog();
    QSignalSpy trees(&catalog, &CatalogPages::placesTreeChanged);
    h.sandbox.clearRequests();

    QVERIFY(!runTask(catalog.loadPlaces(false)));
    QVERIFY(catalog.placesTree().has_value());
    QVERIFY(h.advance(3600s));
    QVERIFY(!runTask(catalog.loadPlaces(false)));
    // The refresh loop wakes meanwhile too; only the places requests matter here.
    QCOMPARE(h.requestLines().filter(u"/places"_s), QStringList{u"GET /places"_s});
    QVERIFY(h.advance(1ms));
    QVERIFY(!runTask(catalog.loadPlaces(false)));
    QVERIFY(!runTask(catalog.loadPlaces(true)));
    QCOMPARE(h.requestLines().filter(u"/places"_s),
             (QStringList{u"GET /places"_s, u"GET /places"_s, u"GET /places"_s}));
    // The same tree again still counts as news.
    QCOMPARE(trees.count(), 3);

    // A failed load keeps the tree it has and says nothing.
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/places"_s}, {u"status"_s, 500}}));
    QVERIFY(!runTask(catalog.loadPlaces(true)));
    QVERIFY(catalog.placesTree().has_value());
    QVERIFY(!catalog.placesFailed());
    QCOMPARE(h.model().alert(), std::nullopt);
    catalog.setPlacesTree(std::nullopt);
    QVERIFY(!runTask(catalog.loadPlaces(false)));
    QVERIFY(catalog.placesFailed());
}

void CatalogPagesTest::overlappingPlacesLoads_data()
{
    QTest::addColumn<bool>("firstForced");
    QTest::addColumn<bool>("secondForced");
    QTest::addColumn<bool>("fault");
    QTest::addColumn<int>("requests");

    QTest::newRow("unforced joins unforced") << false << false << false << 1;
    QTest::newRow("unforced joins forced") << true << false << false << 1;
    QTest::newRow("forced asks again") << false << true << false << 2;
    QTest::newRow("joined load fails") << false << false << true << 1;
}

void CatalogPagesTest::overlappingPlacesLoads()
{
    QFETCH(bool, firstForced);
    QFETCH(bool, secondForced);
    QFETCH(bool, fault);
    QFETCH(int, requests);

    ModelHarness h;
    h.launchSignedIn();
    CatalogPages& catalog = h.catalog();
    if (fault)
        QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/places"_s}, {u"status"_s, 500}}));
    h.sandbox.clearRequests();

    bool treeAtSecondEnd = false;
    QVERIFY(!runTask(loadTwice(catalog, firstForced, secondForced, treeAtSecondEnd)));

    QCOMPARE(h.requestLines().filter(u"/places"_s).size(), requests);
    // A joined load ends only once the one it joined has: its caller sees that load's outcome.
    QCOMPARE(treeAtSecondEnd, !fault);
    QCOMPARE(catalog.placesFailed(), fault);
}

void CatalogPagesTest::placesPageAsksForThePlace()
{
    ModelHarness h;
    h.launchSignedIn();
    const lumi::PlaceQuery place = h.featuredPlace();
    QVERIFY(place.place);

    std::optional<QList<Medium>> media;
    QVERIFY(!runTask(h.catalog().fetchPlacesPage(place, 2, 24, true), media));

    const QStringList lines = h.requestLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.first().startsWith(u"GET /"_s), qPrintable(lines.first()));
    QVERIFY2(lines.first().contains(*place.place), qPrintable(lines.first()));
    for (const QString& item : {u"page=2"_s, u"per_page=24"_s, u"description"_s})
        QVERIFY2(lines.first().contains(item), qPrintable(lines.first()));
}

void CatalogPagesTest::mediaPageAddsLocalPhotosToTheLastPlaylistPage_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("perPage");
    QTest::addColumn<std::optional<QString>>("search");
    QTest::addColumn<int>("serverPhotos");
    QTest::addColumn<bool>("local");

    // The demo playlist holds 24 photos.
    QTest::newRow("full page") << 1 << 24 << std::optional<QString>() << 24 << false;
    QTest::newRow("last page") << 2 << 20 << std::optional<QString>() << 4 << true;
    QTest::newRow("search") << 1 << 60 << std::optional<QString>(u"mountain"_s) << -1 << false;
    QTest::newRow("empty search given") << 1 << 60 << std::optional<QString>(u""_s) << 24 << false;
}

void CatalogPagesTest::mediaPageAddsLocalPhotosToTheLastPlaylistPage()
{
    QFETCH(int, page);
    QFETCH(int, perPage);
    QFETCH(std::optional<QString>, search);
    QFETCH(int, serverPhotos);
    QFETCH(bool, local);

    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    lumi::AppModel& model = h.model();
    const Album mornings = model.account().albums().at(2);
    QCOMPARE(mornings.title, u"Mountain Mornings"_s);
    const QList<Medium> folder{localPhoto(u"b.jpg"_s), localPhoto(u"a.jpg"_s)};
    h.sync.localMedia.insert(mornings.id, folder);
    model.setOffline(true);
    h.sandbox.clearRequests();

    std::optional<QList<Medium>> media;
    QVERIFY(
        !runTask(h.catalog().fetchMediaPage(lumi::MediaQuery{.path = u"playlists/"_s + mornings.titleFragment,
                                                             .page = page,
                                                             .perPage = perPage,
                                                             .search = search}),
                 media));

    QVERIFY(!model.isOffline());
    const QList<Medium> server = media->mid(0, media->size() - (local ? folder.size() : 0));
    if (serverPhotos >= 0)
        QCOMPARE(server.size(), serverPhotos);
    for (const Medium& photo : server)
        QVERIFY(!photo.localPath);
    QCOMPARE(media->mid(server.size()), local ? folder : QList<Medium>());
    const QString query = h.apiRequests().first()[u"query"_s].toString();
    QCOMPARE(query.contains(u"search="_s), search && !search->isEmpty());
}

QTEST_MAIN(CatalogPagesTest)
#include "CatalogPagesTest.moc"
