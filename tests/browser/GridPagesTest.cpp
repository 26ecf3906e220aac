#include "browser/GridPages.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::GridPages;
using lumi::Medium;
using lumi::PlaceQuery;
using lumi::Source;
using lumi::test::ModelHarness;
using lumi::test::runTask;

namespace {

enum class Kind { category, playlist, search, today, place, region, placesHome, unknownAlbum };

// Loads pages until none is left (or `pages` pages were asked for), as tiles coming into view would.
void loadAll(GridPages& pages, int most = 10)
{
    for (int i = 0; i < most && !pages.isExhausted(); ++i) {
        runTask(pages.loadPage());
        if (pages.hasFailed())
            return;
    }
}

// A fault that answers the listing with these photos instead.
QJsonObject answering(const QList<Medium>& media, const QString& path)
{
    QJsonArray array;
    for (const Medium& photo : media)
        array.append(photo.toJson());
    const QByteArray body = QJsonDocument(QJsonObject{{u"media"_s, array}}).toJson();
    return QJsonObject{
        {u"path"_s, path}, {u"status"_s, 200}, {u"body"_s, QString::fromUtf8(body)}, {u"times"_s, 1}};
}

QStringList uuids(const QList<Medium>& media)
{
    QStringList list;
    for (const Medium& photo : media)
        list.append(photo.uuid);
    return list;
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class GridPagesTest final : public QObject
{
    Q_OBJECT

private slots:
    void asksEachSourceForItsPages_data();
    void asksEachSourceForItsPages();
    void stopsAfterAShortOrEmptyPage();
    void todayIsOnePage();
    void aLinkedFolderDoesNotKeepThePlaylistOpen();
    void aFirstPageFailureIsRetriedFromTheStart();
    void aLaterFailureKeepsWhatIsShown();
    void oneRequestAtATime();
    void aPhotoOnTwoPagesIsShownOnce();
};

void GridPagesTest::asksEachSourceForItsPages_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QStringList>("lines"); // %c, %r, %p: the featured place's slugs
    QTest::addColumn<int>("count");

    QTest::newRow("collection") << Kind::category
                                << QStringList{u"GET /media/channels/landscapes?page=1&per_page=60"_s} << 30;
    QTest::newRow("playlist") << Kind::playlist
                              << QStringList{u"GET /media/playlists/mountain-mornings?page=1&per_page=60"_s}
                              << 24;
    QTest::newRow("search")
        << Kind::search << QStringList{u"GET /media/classic/latest?page=1&per_page=60&search=misty%20lake"_s}
        << -1;
    QTest::newRow("today") << Kind::today << QStringList{u"GET /media/today?page=1&per_page=60"_s} << 6;
    QTest::newRow("place") << Kind::place << QStringList{u"GET /places/media?page=1&per_page=60&place=%p"_s}
                           << -1;
    QTest::newRow("country and region")
        << Kind::region << QStringList{u"GET /places/media?country=%c&page=1&per_page=60&region=%r"_s} << -1;
    QTest::newRow("places without a query") << Kind::placesHome << QStringList{} << 0;
    QTest::newRow("album the model does not hold") << Kind::unknownAlbum << QStringList{} << 0;
}

void GridPagesTest::asksEachSourceForItsPages()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, lines);
    QFETCH(int, count);

    ModelHarness h;
    h.launchSignedIn();
    const PlaceQuery place = h.featuredPlace();
    Source source;
    switch (kind) {
    case Kind::category:
        source.value = Source::Category{u"channels/landscapes"_s, u"Landscapes"_s};
        break;
    case Kind::playlist:
        source.value = Source::Album{int(h.album(u"mountain-mornings"_s).id)};
        break;
    case Kind::search:
        source.value = Source::Search{u"misty lake"_s};
        break;
    case Kind::today:
        source.value = Source::Today{};
        break;
    case Kind::place:
        source.value = Source::Places{place};
        break;
    case Kind::region:
        source.value = Source::Places{PlaceQuery{.country = place.country, .region = place.region}};
        break;
    case Kind::placesHome:
        source.value = Source::Places{};
        break;
    case Kind::unknownAlbum:
        source.value = Source::Album{999};
        break;
    }
    GridPages pages(h.model().account(), h.catalog(), source);
    loadAll(pages);
    QCOMPARE(h.requestLines(), lines.replaceInStrings(u"%c"_s, *place.country)
                                   .replaceInStrings(u"%r"_s, *place.region)
                                   .replaceInStrings(u"%p"_s, *place.place));
    if (count >= 0)
        QCOMPARE(pages.media().size(), count);
    QVERIFY(!pages.isLoading());
    QVERIFY(!pages.hasFailed());
}

void GridPagesTest::stopsAfterAShortOrEmptyPage()
{
    ModelHarness h;
    h.launchSignedIn();
    GridPages pages(h.model().account(), h.catalog(), Source::latest());
    loadAll(pages);
    const QString line = u"GET /media/classic/latest?page=%1&per_page=60"_s;
    QCOMPARE(h.requestLines(),
             (QStringList{line.arg(1), line.arg(2), line.arg(3), line.arg(4), line.arg(5)}));
    QCOMPARE(pages.media().size(), 240);
    QVERIFY(pages.isExhausted());
    runTask(pages.loadPage());
    QCOMPARE(h.requestLines().size(), 5);
}

void GridPagesTest::todayIsOnePage()
{
    ModelHarness h;
    h.launchSignedIn();
    const QList<Medium> sixty = h.catalogPhotos(60);
    h.sandbox.addFault(answering(sixty, u"/api/v6/media/today"_s));
    GridPages pages(h.model().account(), h.catalog(), Source{Source::Today{}});
    loadAll(pages);
    QCOMPARE(h.requestLines(), QStringList{u"GET /media/today?page=1&per_page=60"_s});
    QCOMPARE(pages.media(), sixty);
}

void GridPagesTest::aLinkedFolderDoesNotKeepThePlaylistOpen()
{
    ModelHarness h;
    h.launchSignedIn();
    const lumi::Album mornings = h.album(u"mountain-mornings"_s);
    QList<Medium> folder;
    for (int i = 0; i < 70; ++i)
        folder.append(
            Medium{.uuid = u"local-%1"_s.arg(i), .localPath = u"/home/someone/Pictures/%1.jpg"_s.arg(i)});
    h.sync.localMedia.insert(mornings.id, folder);

    GridPages pages(h.model().account(), h.catalog(), Source{Source::Album{int(mornings.id)}});
    loadAll(pages);
    QVERIFY(pages.isExhausted());
    QCOMPARE(h.requestLines(), QStringList{u"GET /media/playlists/mountain-mornings?page=1&per_page=60"_s});
    QCOMPARE(pages.media().size(), 24 + 70);
}

void GridPagesTest::aFirstPageFailureIsRetriedFromTheStart()
{
    ModelHarness h;
    h.launchSignedIn();
    h.sandbox.addFault(
        QJsonObject{{u"path"_s, u"/api/v6/media/classic/latest"_s}, {u"status"_s, 500}, {u"times"_s, 1}});
    GridPages pages(h.model().account(), h.catalog(), Source::latest());
    runTask(pages.loadPage());
    QVERIFY(pages.hasFailed());
    QVERIFY(pages.media().isEmpty());
    QVERIFY(!h.model().alert()); // quietly

    runTask(pages.restart());
    QVERIFY(!pages.hasFailed());
    QCOMPARE(pages.media().size(), 60);
    QCOMPARE(h.requestLines(), QStringList(2, u"GET /media/classic/latest?page=1&per_page=60"_s));
}

void GridPagesTest::aLaterFailureKeepsWhatIsShown()
{
    ModelHarness h;
    h.launchSignedIn();
    GridPages pages(h.model().account(), h.catalog(), Source::latest());
    loadAll(pages, 2);
    h.sandbox.addFault(
        QJsonObject{{u"path"_s, u"/api/v6/media/classic/latest"_s}, {u"status"_s, 503}, {u"times"_s, 1}});
    runTask(pages.loadPage());
    QCOMPARE(pages.media().size(), 120);
    QVERIFY(!pages.hasFailed());
    QVERIFY(!pages.isExhausted());

    runTask(pages.loadPage());
    QCOMPARE(pages.media().size(), 180);
    QCOMPARE(h.requestLines().mid(2), QStringList(2, u"GET /media/classic/latest?page=3&per_page=60"_s));
}

void GridPagesTest::oneRequestAtATime()
{
    ModelHarness h;
    h.launchSignedIn();
    GridPages pages(h.model().account(), h.catalog(), Source::latest());
    QCoro::Task<void> first = pages.loadPage();
    QVERIFY(pages.isLoading());
    runTask(pages.loadPage());
    runTask(std::move(first));
    QCOMPARE(h.requestLines(), QStringList{u"GET /media/classic/latest?page=1&per_page=60"_s});
    QCOMPARE(pages.media().size(), 60);
}

void GridPagesTest::aPhotoOnTwoPagesIsShownOnce()
{
    ModelHarness h;
    h.launchSignedIn();
    const QList<Medium> first = h.catalogPhotos(60);
    const QList<Medium> second = h.catalogPhotos(60, 2);
    // Page 2 repeats two photos of page 1 and one of its own.
    QList<Medium> repeated = second.mid(0, 56);
    repeated += {first[3], first[7], second[10], second[57]};
    h.sandbox.addFault(answering(first, u"/api/v6/media/classic/latest"_s));
    h.sandbox.addFault(answering(repeated, u"/api/v6/media/classic/latest"_s));
    GridPages pages(h.model().account(), h.catalog(), Source::latest());
    loadAll(pages, 2);
    QCOMPARE(uuids(pages.media()), uuids(first + second.mid(0, 56) + QList<Medium>{second[10], second[57]}));
    // Sixty photos came, repeats included: there may be more.
    QVERIFY(!pages.isExhausted());
}

QTEST_GUILESS_MAIN(GridPagesTest)
#include "GridPagesTest.moc"
