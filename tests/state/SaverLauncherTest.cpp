#include "model/PlaySettings.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::Album;
using lumi::AppModel;
using lumi::Medium;
using lumi::PlaceQuery;
using lumi::PlayMode;
using lumi::PlaySettings;
using lumi::SaverEffect;
using lumi::SaverLauncher;
using lumi::User;
using lumi::test::ModelHarness;
using lumi::test::runTask;

namespace {

const QString stamp = u"2025-01-15T09:30:00.000Z"_s;
const QString saverList = u"GET /media/playlists/editor-s-picks?page=1&per_page=500"_s;
const QString classicList = u"GET /media/classic/latest?page=1&per_page=60"_s;

Medium saverFolderPhoto()
{
    Medium photo;
    photo.uuid = u"local-pier-k2m4n6p8.jpg"_s;
    photo.title = u"pier-k2m4n6p8"_s;
    photo.localPath = u"/saver/pier-k2m4n6p8.jpg"_s;
    return photo;
}

// Marks the albums: "s" saver, "p" paper, "-" neither, one letter per held album in order.
void mark(AppModel& model, const QString& marks)
{
    QList<Album> albums = model.account().albums();
    for (qsizetype i = 0; i < albums.size(); ++i) {
        albums[i].includeInSaver = marks.at(i) == u's';
        albums[i].includeInPaper = marks.at(i) == u'p';
    }
    model.setAlbums(albums);
}

QList<Medium> saverMedia(ModelHarness& h)
{
    std::optional<QList<Medium>> media;
    if (runTask(h.saver().saverMedia(), media))
        return {};
    return media.value_or(QList<Medium>());
}

QJsonObject photoJson(const QString& uuid, const std::optional<QString>& base)
{
    QJsonObject photo{{u"uuid"_s, uuid}, {u"title"_s, uuid}};
    if (base)
        photo.insert(u"secure_base_url"_s, *base);
    return photo;
}

QJsonObject listingFault(const QString& fragment, const QJsonArray& media)
{
    return QJsonObject{
        {u"method"_s, u"GET"_s},
        {u"path"_s, u"/api/v6/media/playlists/"_s + fragment},
        {u"status"_s, 200},
        {u"body"_s, QString::fromUtf8(QJsonDocument(QJsonObject{{u"media"_s, media}}).toJson())},
    };
}

QStringList uuidsOf(const QList<Medium>& media)
{
    QStringList uuids;
    for (const Medium& photo : media)
        uuids.append(photo.uuid);
    return uuids;
}

} // namespace

class SaverLauncherTest final : public QObject
{
    Q_OBJECT

private slots:
    void poolTakesTheChosenPlaylists_data();
    void poolTakesTheChosenPlaylists();
    void poolReuse_data();
    void poolReuse();
    void poolKeepsFirstOfEachPhotoWithCdn();
    void emptyPoolIsNotKept();
    void startSaverNowEffect_data();
    void startSaverNowEffect();
    void startSaverNowRefusals_data();
    void startSaverNowRefusals();
    void playSlideshow_data();
    void playSlideshow();
};

void SaverLauncherTest::poolTakesTheChosenPlaylists_data()
{
    // Held in album order: Favorites (101), Editor's Picks (103), Mountain Mornings (102).
    QTest::addColumn<QString>("marks");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("folderAppended");

    QTest::newRow("marked for the saver") << u"-sp"_s << QStringList{saverList} << u"103|"_s + stamp << true;
    QTest::newRow("wallpaper playlists when none is for the saver")
        << u"p-p"_s
        << QStringList{u"GET /media/playlists/favorites?page=1&per_page=500"_s,
                       u"GET /media/playlists/mountain-mornings?page=1&per_page=500"_s}
        << u"101,102|"_s + stamp << true;
    QTest::newRow("nothing marked: the newest photos")
        << u"---"_s << QStringList{classicList} << u"|"_s + stamp << false;
}

void SaverLauncherTest::poolTakesTheChosenPlaylists()
{
    QFETCH(QString, marks);
    QFETCH(QStringList, requests);
    QFETCH(QString, key);
    QFETCH(bool, folderAppended);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    mark(model, marks);
    h.sync.saverPhotos = {saverFolderPhoto()};

    const QList<Medium> media = saverMedia(h);

    QCOMPARE(h.requestLines(), requests);
    QCOMPARE(h.saver().saverPoolKey(), key);
    QCOMPARE(h.saver().saverPool()->key, key);
    QCOMPARE(h.saver().saverPool()->media, media);
    QCOMPARE(h.saver().saverPool()->fetchedAt, h.clock.now());
    QVERIFY(media.size() > 1);
    QCOMPARE(media.last() == saverFolderPhoto(), folderAppended);
    QCOMPARE(media.count(saverFolderPhoto()), folderAppended ? 1 : 0);
}

void SaverLauncherTest::poolReuse_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("refetched");

    QTest::newRow("again within 6 h") << u"wait 6h-1s"_s << false;
    QTest::newRow("after 6 h") << u"wait 6h"_s << true;
    QTest::newRow("playlists changed on the server") << u"stamp"_s << true;
    QTest::newRow("other playlists chosen") << u"marks"_s << true;
    QTest::newRow("clock set back") << u"clock back"_s << true;
    QTest::newRow("photo folders changed") << u"folders"_s << true;
}

void SaverLauncherTest::poolReuse()
{
    QFETCH(QString, change);
    QFETCH(bool, refetched);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QList<Medium> first = saverMedia(h);
    QCOMPARE(h.requestLines(), QStringList{saverList});
    h.sandbox.clearRequests();

    if (change == u"wait 6h-1s")
        h.clock.advance(SaverLauncher::saverPoolLifetime - 1s);
    else if (change == u"wait 6h")
        h.clock.advance(SaverLauncher::saverPoolLifetime);
    else if (change == u"clock back")
        h.clock.setNow(h.clock.now().addDays(-1));
    else if (change == u"marks")
        mark(model, u"ssp"_s);
    else if (change == u"folders")
        h.saver().resetSaverPool();
    else {
        User user = *model.account().user();
        user.playlistsUpdatedAt = u"2025-02-01T08:00:00.000Z"_s;
        model.setUser(user);
    }
    const QList<Medium> second = saverMedia(h);

    // Long waits also wake the refresh loop; only photo listings count here.
    QCOMPARE(h.requestLines().filter(u"GET /media/"_s).contains(saverList), refetched);
    if (!refetched)
        QCOMPARE(second, first);
}

void SaverLauncherTest::poolKeepsFirstOfEachPhotoWithCdn()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    QList<Album> albums;
    for (const QString& fragment : {u"alpha"_s, u"broken"_s, u"gamma"_s}) {
        Album album;
        album.id = albums.size() + 1;
        album.title = fragment;
        album.titleFragment = fragment;
        album.includeInSaver = true;
        albums.append(album);
    }
    model.setAlbums(albums);
    const QString cdn = u"https://cdn.example.test/p/"_s;
    QVERIFY(h.sandbox.addFault(
        listingFault(u"alpha"_s, QJsonArray{photoJson(u"p1"_s, cdn), photoJson(u"p2"_s, std::nullopt),
                                            photoJson(u"p4"_s, u""_s)})));
    QVERIFY(h.sandbox.addFault(
        QJsonObject{{u"path"_s, u"/api/v6/media/playlists/broken"_s}, {u"status"_s, 500}}));
    QVERIFY(h.sandbox.addFault(
        listingFault(u"gamma"_s, QJsonArray{photoJson(u"p3"_s, cdn), photoJson(u"p1"_s, cdn)})));
    h.sync.saverPhotos = {saverFolderPhoto()};

    const QList<Medium> media = saverMedia(h);

    // A photo without a CDN address can't be shown; one with an empty address stays.
    QCOMPARE(uuidsOf(media), (QStringList{u"p1"_s, u"p4"_s, u"p3"_s, saverFolderPhoto().uuid}));
    QCOMPARE(h.requestLines().size(), 3);
    QCOMPARE(model.alert(), std::nullopt);
}

void SaverLauncherTest::emptyPoolIsNotKept()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    mark(model, u"---"_s);
    QVERIFY(
        h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/media/classic/latest"_s}, {u"status"_s, 500}}));

    QVERIFY(!runTask(h.saver().startSaverNow(std::nullopt)));
    QCOMPARE(h.requestLines(), QStringList{classicList});
    QCOMPARE(h.saver().saverPool(), std::nullopt);
    QCOMPARE(h.journal.calls().filter(u"player."_s), QStringList());
    // Why nothing plays is said.
    QVERIFY(model.alert().has_value());

    // The next start asks again, and plays once the server answers.
    h.sandbox.clearFaults();
    h.sandbox.clearRequests();
    QVERIFY(!runTask(h.saver().startSaverNow(std::nullopt)));
    QCOMPARE(h.requestLines(), QStringList{classicList});
    QCOMPARE(h.journal.calls().filter(u"player."_s), QStringList{u"player.startSaver(60,fader)"_s});
}

void SaverLauncherTest::startSaverNowEffect_data()
{
    QTest::addColumn<QString>("saverShow"); // "absent" for no setting
    QTest::addColumn<QString>("given");     // empty: none given
    QTest::addColumn<QString>("played");

    QTest::newRow("no setting") << u"absent"_s << QString() << u"fader"_s;
    QTest::newRow("random: each screen draws") << u"random"_s << QString() << u"random"_s;
    QTest::newRow("a named effect") << u"kber"_s << QString() << u"kber"_s;
    QTest::newRow("no such effect") << u"sparkles"_s << QString() << u"fader"_s;
    QTest::newRow("given effect wins") << u"random"_s << u"slider"_s << u"slider"_s;
}

void SaverLauncherTest::startSaverNowEffect()
{
    QFETCH(QString, saverShow);
    QFETCH(QString, given);
    QFETCH(QString, played);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    User user = *model.account().user();
    user.saverShow = saverShow == u"absent" ? std::nullopt : std::optional<QString>(saverShow);
    model.setUser(user);
    h.sync.saverPhotos = {saverFolderPhoto()};

    const std::optional<SaverEffect> effect = given.isEmpty() ? std::nullopt : SaverEffect::fromValue(given);
    QVERIFY(!runTask(h.saver().startSaverNow(effect)));

    QCOMPARE(h.journal.calls().filter(u"player."_s), QStringList{u"player.startSaver(21,%1)"_s.arg(played)});
    // The demo account: pause "2", shuffled, fitted, with titles.
    PlaySettings expected;
    expected.pauseSeconds = 10;
    expected.shuffle = true;
    expected.crop = false;
    expected.showTitles = true;
    QCOMPARE(h.player.lastSettings, expected);
    QVERIFY(h.player.isShowing());

    // Showing already: a second start asks nothing and starts nothing.
    h.sandbox.clearRequests();
    h.journal.clear();
    QVERIFY(!runTask(h.saver().startSaverNow(std::nullopt)));
    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(h.journal.calls().filter(u"player."_s), QStringList());
}

void SaverLauncherTest::startSaverNowRefusals_data()
{
    QTest::addColumn<bool>("signedIn");

    QTest::newRow("signed out") << false;
    QTest::newRow("gallery on screen") << true;
}

void SaverLauncherTest::startSaverNowRefusals()
{
    QFETCH(bool, signedIn);

    ModelHarness h;
    AppModel& model = signedIn ? h.launchSignedIn() : h.model();
    if (!signedIn) {
        model.launch();
        QVERIFY(h.settle());
        h.journal.clear();
    }
    h.player.showing = signedIn;

    QVERIFY(!runTask(h.saver().startSaverNow(SaverEffect::fader)));

    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(h.journal.calls().filter(u"player."_s), QStringList());
    QCOMPARE(h.saver().saverPool(), std::nullopt);
}

void SaverLauncherTest::playSlideshow_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("described");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("source"); // "path", "place", "region"
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QString>("request"); // "%c", "%r", "%p": the place's slugs; empty: none
    QTest::addColumn<int>("first");

    const QString latest = u"GET /media/classic/latest?page=1&per_page=%1&with_description=true"_s;
    QTest::newRow("10 photos: a page of 60") << 10 << false << 4 << u"path"_s << 0 << latest.arg(60) << 4;
    QTest::newRow("120 photos: a page of 120") << 120 << false << 0 << u"path"_s << 0 << latest.arg(120) << 0;
    QTest::newRow("described already") << 10 << true << 2 << u"path"_s << 0 << QString() << 2;
    QTest::newRow("start past the end") << 3 << false << 7 << u"path"_s << 0 << latest.arg(60) << 2;
    QTest::newRow("negative start") << 3 << false << -1 << u"path"_s << 0 << latest.arg(60) << 0;
    QTest::newRow("a place") << 10 << false << 0 << u"place"_s << 0
                             << u"GET /places/media?page=1&per_page=60&place=%p&with_description=true"_s << 0;
    QTest::newRow("a region")
        << 10 << false << 0 << u"region"_s << 0
        << u"GET /places/media?country=%c&page=1&per_page=60&region=%r&with_description=true"_s << 0;
    QTest::newRow("re-fetch fails: plays as given")
        << 10 << false << 0 << u"path"_s << 500 << latest.arg(60) << 0;
    QTest::newRow("place re-fetch fails")
        << 10 << false << 0 << u"place"_s << 500
        << u"GET /places/media?page=1&per_page=60&place=%p&with_description=true"_s << 0;
}

void SaverLauncherTest::playSlideshow()
{
    QFETCH(int, count);
    QFETCH(bool, described);
    QFETCH(int, start);
    QFETCH(QString, source);
    QFETCH(int, failWith);
    QFETCH(QString, request);
    QFETCH(int, first);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const PlaceQuery featured = h.featuredPlace();
    const QString country = *featured.country;
    const QString region = *featured.region;
    const QString place = *featured.place;
    QVERIFY(!place.isEmpty());
    // The browser's photos: the newest list, or the place's, without descriptions.
    QList<Medium> photos = h.catalogPhotos(count - 1);
    if (source != u"path") {
        const QString query =
            source == u"place" ? u"place="_s + place : u"country=%1&region=%2"_s.arg(country, region);
        photos =
            lumi::MediaResponse::fromJson(
                h.sandbox
                    .call("GET", u"places/media?per_page=%1&"_s.arg(count - 1) + query, *model.sessionToken())
                    .json())
                ->media.value_or(QList<Medium>());
        h.sandbox.clearRequests();
    }
    QVERIFY(!photos.isEmpty());
    // One photo the listing no longer holds.
    photos.append(Medium{
        .uuid = u"gone-0000"_s, .title = u"Gone"_s, .secureBaseUrl = u"https://cdn.example.test/g/"_s});
    if (described)
        photos[1].description = u"Told already"_s;
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(QJsonObject{
            {u"path"_s, source == u"path" ? u"/api/v6/media/classic/latest"_s : u"/api/v6/places/media"_s},
            {u"status"_s, failWith}}));
    std::optional<PlaceQuery> query;
    if (source == u"place")
        query = PlaceQuery{.country = country, .region = region, .place = place};
    else if (source == u"region")
        query = PlaceQuery{.country = country, .region = region, .place = std::nullopt};

    QVERIFY(!runTask(h.saver().playSlideshow(photos, start, PlayMode::slideshow(), u"classic/latest"_s,
                                             std::nullopt, query)));

    QString expected = request;
    expected.replace(u"%c"_s, country).replace(u"%r"_s, region).replace(u"%p"_s, place);
    QCOMPARE(h.requestLines(), expected.isEmpty() ? QStringList() : QStringList{expected});
    QCOMPARE(h.journal.calls().filter(u"player."_s),
             QStringList{u"player.showGallery(%1,%2,slideshow)"_s.arg(photos.size()).arg(first)});
    const QList<Medium>& played = h.player.lastMedia;
    QCOMPARE(uuidsOf(played), uuidsOf(photos));
    const bool refreshed = !described && failWith == 0;
    for (qsizetype i = 0; i < played.size(); ++i) {
        const bool gone = played[i].uuid == u"gone-0000"_s;
        if (described)
            QCOMPARE(played[i].description, photos[i].description);
        else
            QCOMPARE(played[i].description.has_value(), refreshed && !gone);
    }
    // A failed re-fetch is no reason for an alert.
    QCOMPARE(model.alert(), std::nullopt);
}

QTEST_MAIN(SaverLauncherTest)
#include "SaverLauncherTest.moc"
