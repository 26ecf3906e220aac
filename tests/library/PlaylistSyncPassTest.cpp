#include "library/FileIdentity.h"
#include "library/PlaylistSync.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/AccountEdits.h"
#include "support/TestFiles.h"
#include "support/library/SyncHarness.h"

#include <QDir>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

enum class Change { nothing, saverMark, count, noCdn, largerDisplay, smallerDisplay };

} // namespace

} // namespace lumi

Q_DECLARE_METATYPE(lumi::Change)

namespace lumi {

class PlaylistSyncPassTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void fullPassForTheDemoAccount();
    void passRunsAgainOnlyWhenItsStateChanged_data();
    void passRunsAgainOnlyWhenItsStateChanged();
    void failuresDeleteNothing_data();
    void failuresDeleteNothing();
    void cancelDuringASlowDownload();
    void cancelledListingRetryStops();
    void catalogPhotoWithADateLikeIdIsNotRenderedOntoItself();
    void skippedPlaylistKeepsWhatItHad_data();
    void skippedPlaylistKeepsWhatItHad();
    void failedDownloadsAreFetchedByTheNextPass();
    void photosTheServiceLacksWaitForTheListingToChange_data();
    void photosTheServiceLacksWaitForTheListingToChange();

private:
    QString mountains() const
    {
        return m_harness->photoDirectory + u"/Lumivale Playlist/Mountain Mornings"_s;
    }
    QString picks() const { return m_harness->photoDirectory + u"/Lumivale Playlist/Editor's Picks"_s; }
    Defaults& defaults() const { return Defaults::shared(); }

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
};

void PlaylistSyncPassTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void PlaylistSyncPassTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
}

void PlaylistSyncPassTest::cleanup()
{
    m_harness.reset();
}

void PlaylistSyncPassTest::fullPassForTheDemoAccount()
{
    test::SyncHarness& h = *m_harness;
    const QStringList mountainNames = h.listedNames(u"mountain-mornings"_s);
    const QStringList pickNames = h.listedNames(u"editor-s-picks"_s);
    QCOMPARE(mountainNames.size(), 24);
    QCOMPARE(pickNames.size(), 20);
    PlaylistSync& sync = h.sync();
    QSignalSpy syncing(&sync, &PlaylistSync::isSyncingChanged);

    QVERIFY(h.runPass());

    // One folder per marked playlist, named by its title, holding exactly its photos.
    QCOMPARE(test::SyncHarness::entries(h.photoDirectory + u"/Lumivale Playlist"_s),
             (QStringList{u"Editor's Picks"_s, u"Mountain Mornings"_s}));
    QCOMPARE(test::SyncHarness::entries(mountains()), mountainNames);
    QCOMPARE(test::SyncHarness::entries(picks()), pickNames);
    QCOMPARE(QImageReader(mountains() + u'/' + mountainNames.first()).size(), QSize(1280, 1024));

    // The pools hold hard links of the playlist files.
    QCOMPARE(test::SyncHarness::photoNames(sync.paperDir()), mountainNames);
    QCOMPARE(test::SyncHarness::photoNames(sync.saverDir()), pickNames);
    for (const QString& name : mountainNames) {
        QCOMPARE(FileIdentity::of(sync.paperDir() + u'/' + name),
                 FileIdentity::of(mountains() + u'/' + name));
    }
    for (const QString& name : pickNames) {
        QCOMPARE(FileIdentity::of(sync.saverDir() + u'/' + name), FileIdentity::of(picks() + u'/' + name));
    }
    QCOMPARE(sync.paperIndex().size(), 24);
    QCOMPARE(sync.saverIndex().size(), 20);
    const QString firstPick = pickNames.first();
    const QString shortId = firstPick.mid(firstPick.size() - 12, 8);
    QCOMPARE(sync.localFile(Medium{.uuid = shortId.toUpper() + u"-rest"_s}),
             sync.saverDir() + u'/' + firstPick);

    QCOMPARE(defaults().stringValue(keys::syncFormat), u"1280x1024"_s);
    QCOMPARE(
        defaults().stringValue(keys::syncState),
        u"2025-01-15T09:30:00.000Z|1280x1024|cdn|102:Mountain Mornings:10:24,103:Editor's Picks:01:20|"_s);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
    QCOMPARE(defaults().mapValue(keys::syncPlaylistTitles), (QVariantMap{{u"101"_s, u"Favorites"_s},
                                                                         {u"102"_s, u"Mountain Mornings"_s},
                                                                         {u"103"_s, u"Editor's Picks"_s}}));
    QCOMPARE(defaults().stringValue(keys::syncLocalLook), u"1280x1024|adapt"_s);
    QCOMPARE(defaults().mapValue(keys::syncLinkedDownloads), QVariantMap());

    QCOMPARE(h.syncLines(),
             (QStringList{
                 u"syncing 2 playlists, 44 photos at 1280x1024"_s,
                 u"synced 2 playlists: 44 photos, 44 downloaded, 0 failed, 24 in wallpaper, 20 in saver"_s,
             }));
    QCOMPARE(h.listingRequests(),
             (QStringList{u"GET /api/v6/media/playlists/mountain-mornings?page=1&per_page=500"_s,
                          u"GET /api/v6/media/playlists/editor-s-picks?page=1&per_page=500"_s}));
    const QStringList cdn = h.cdnRequests();
    QCOMPARE(cdn.size(), 44);
    QCOMPARE(cdn.filter(u"/1280x1024c1.jpg"_s).size(), 44);
    QCOMPARE(syncing.size(), 2);
    QVERIFY(!sync.isSyncing());
    QCOMPARE(sync.done(), 44);
    QCOMPARE(sync.total(), 44);
    QCOMPARE(h.poolResets, 1);

    // Nothing changed: the next pass stops at its state test, without a request or a trace.
    h.sandbox.clearRequests();
    QVERIFY(h.runPass());
    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(h.syncLines().size(), 2);
    QCOMPARE(syncing.size(), 2);
}

void PlaylistSyncPassTest::passRunsAgainOnlyWhenItsStateChanged_data()
{
    QTest::addColumn<QSize>("display");
    QTest::addColumn<Change>("change");
    QTest::addColumn<bool>("runs");
    QTest::addColumn<QString>("format");

    QTest::newRow("nothing changed") << QSize(1280, 1024) << Change::nothing << false << u"1280x1024"_s;
    QTest::newRow("saver mark added") << QSize(1280, 1024) << Change::saverMark << true << u"1280x1024"_s;
    QTest::newRow("photo count changed") << QSize(1280, 1024) << Change::count << true << u"1280x1024"_s;
    QTest::newRow("no-cdn flag set") << QSize(1280, 1024) << Change::noCdn << true << u"1280x1024"_s;
    QTest::newRow("larger display") << QSize(1280, 1024) << Change::largerDisplay << true << u"2560x1440"_s;
    QTest::newRow("smaller display") << QSize(2560, 1440) << Change::smallerDisplay << false
                                     << u"2560x1440"_s;
}

void PlaylistSyncPassTest::passRunsAgainOnlyWhenItsStateChanged()
{
    QFETCH(QSize, display);
    QFETCH(Change, change);
    QFETCH(bool, runs);
    QFETCH(QString, format);
    test::SyncHarness& h = *m_harness;
    h.setDisplay(display);
    QVERIFY(h.runPass());
    const QString firstState = defaults().stringValue(keys::syncState).value_or(QString());
    h.sandbox.clearRequests();
    h.forgetLog();

    switch (change) {
    case Change::nothing:
        break;
    case Change::saverMark:
        test::editAlbum(h.account, 102, [&](Album& album) { album.includeInSaver = true; });
        break;
    case Change::count:
        test::editAlbum(h.account, 103, [&](Album& album) { album.count = 21; });
        break;
    case Change::noCdn:
        test::editUser(h.account, [](User& user) { user.flags = u"beta no-cdn"_s; });
        break;
    case Change::largerDisplay:
        h.setDisplay(QSize(2560, 1440));
        break;
    case Change::smallerDisplay:
        h.setDisplay(QSize(1280, 1024));
        break;
    }
    QVERIFY(h.runPass());

    QCOMPARE(!h.listingRequests().isEmpty(), runs);
    QCOMPARE(defaults().stringValue(keys::syncState) != firstState, runs);
    QCOMPARE(defaults().stringValue(keys::syncFormat), format);
    QCOMPARE(h.syncLines().filter(u"syncing "_s).size(), runs ? 1 : 0);
    if (change == Change::largerDisplay) {
        QCOMPARE(h.syncLines().first(), u"display size went up to 2560x1440: downloading again"_s);
        QCOMPARE(h.cdnRequests().filter(u"/2560x1440c1.jpg"_s).size(), 44);
        const QString photo = test::SyncHarness::photoNames(mountains()).first();
        QCOMPARE(QImageReader(mountains() + u'/' + photo).size(), QSize(2560, 1440));
        QCOMPARE(QImageReader(h.sync().paperDir() + u'/' + photo).size(), QSize(2560, 1440));
    } else {
        // Photos on disk are never fetched again for a mark, a count, the CDN mode or a smaller display.
        QCOMPARE(h.cdnRequests(), QStringList());
    }
    if (change == Change::saverMark) {
        // A photo in both playlists has one name, so one entry.
        QStringList both = h.listedNames(u"mountain-mornings"_s) + h.listedNames(u"editor-s-picks"_s);
        both.removeDuplicates();
        QCOMPARE(test::SyncHarness::photoNames(h.sync().saverDir()), test::SyncHarness::sorted(both));
    }
}

void PlaylistSyncPassTest::failuresDeleteNothing_data()
{
    QTest::addColumn<bool>("offline");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("listings");

    QTest::newRow("listing fails four times")
        << false << QStringList{u"playlist 103: media list failed, sync stopped (dirty)"_s} << 5;
    // An offline launch: a cached user and a session, but no album list from the service yet.
    QTest::newRow("offline launch") << true << QStringList() << 0;
}

void PlaylistSyncPassTest::failuresDeleteNothing()
{
    QFETCH(bool, offline);
    QFETCH(QStringList, lines);
    QFETCH(int, listings);
    test::SyncHarness& h = *m_harness;
    QVERIFY(h.runPass());
    const QString state = defaults().stringValue(keys::syncState).value_or(QString());
    const QStringList paper = test::SyncHarness::photoNames(h.sync().paperDir());
    const QStringList saver = test::SyncHarness::photoNames(h.sync().saverDir());
    h.sandbox.clearRequests();
    h.forgetLog();

    if (offline) {
        h.account.setAlbumsLoaded(false);
        h.account.setAlbums({});
    } else {
        test::editAlbum(h.account, 103, [&](Album& album) { album.count = 21; });
        QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                    {u"path"_s, u"/api/v6/media/playlists/editor-s-picks"_s},
                                    {u"status"_s, 500}}));
    }
    QSignalSpy syncing(&h.sync(), &PlaylistSync::isSyncingChanged);
    QVERIFY(h.runPass(true));

    QCOMPARE(h.syncLines(), lines);
    QCOMPARE(h.listingRequests().size(), listings);
    QCOMPARE(h.listingRequests().filter(u"editor-s-picks"_s).size(), offline ? 0 : 4);
    QCOMPARE(h.cdnRequests(), QStringList());
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()), paper);
    QCOMPARE(test::SyncHarness::photoNames(h.sync().saverDir()), saver);
    QCOMPARE(test::SyncHarness::photoNames(mountains()).size(), 24);
    QCOMPARE(test::SyncHarness::photoNames(picks()).size(), 20);
    QCOMPARE(defaults().stringValue(keys::syncState), state);
    QCOMPARE(defaults().boolValue(keys::syncDirty), !offline);
    QVERIFY(!h.sync().isSyncing());
    QCOMPARE(syncing.size(), offline ? 0 : 2);
}

void PlaylistSyncPassTest::cancelDuringASlowDownload()
{
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    QVERIFY(h.sandbox.addFault({{u"path"_s, u"/cdn/*"_s}, {u"delayMs"_s, 60'000}, {u"times"_s, 1}}));
    QList<bool> syncing;
    connect(&sync, &PlaylistSync::isSyncingChanged, this, [&] { syncing.append(sync.isSyncing()); });

    sync.requestSync(0ms, false);
    QTRY_COMPARE_WITH_TIMEOUT(h.cdnRequests().size(), 1, 30'000);
    QVERIFY(sync.isSyncing());
    sync.cancelSync();

    QVERIFY(!sync.isSyncing());
    QCOMPARE(defaults().boolValue(keys::syncDirty), true);
    QVERIFY(!defaults().contains(keys::syncState));
    const QString firstPhoto = h.listedNames(u"mountain-mornings"_s, false).first();
    h.sandbox.clearRequests();

    // The next pass starts only after the cancelled one has let go of its transfer.
    sync.requestSync(0ms, false);
    QVERIFY(h.finish());

    QCOMPARE(syncing, (QList<bool>{true, false, true, false}));
    QCOMPARE(
        h.syncLines(),
        (QStringList{
            u"syncing 2 playlists, 44 photos at 1280x1024"_s,
            u"download "_s + firstPhoto.mid(firstPhoto.size() - 12, 8) + u" failed: Operation canceled"_s,
            u"syncing 2 playlists, 44 photos at 1280x1024"_s,
            u"synced 2 playlists: 44 photos, 44 downloaded, 0 failed, 24 in wallpaper, 20 in saver"_s,
        }));
    QCOMPARE(h.cdnRequests().size(), 44);
    QCOMPARE(QDir(mountains()).entryList(QDir::Files | QDir::Hidden).size(), 24);
    QVERIFY(QFileInfo(mountains() + u'/' + firstPhoto).size() >= 65536);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
    QVERIFY(defaults().contains(keys::syncState));
}

void PlaylistSyncPassTest::cancelledListingRetryStops()
{
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                {u"path"_s, u"/api/v6/media/playlists/mountain-mornings"_s},
                                {u"status"_s, 503}}));
    sync.requestSync(0ms, false);
    QTRY_COMPARE_WITH_TIMEOUT(h.clock.sleeperCount(), 1, 30'000);
    QCOMPARE(h.listingRequests().size(), 1);

    sync.cancelSync();
    h.clock.advance(10s);
    QVERIFY(h.finish());

    // No attempt after the cancel, neither at once nor when the waits would have ended.
    QCOMPARE(h.listingRequests().size(), 1);
    QCOMPARE(h.syncLines(), QStringList());
    QCOMPARE(defaults().boolValue(keys::syncDirty), true);
    QVERIFY(!sync.isSyncing());
}

void PlaylistSyncPassTest::catalogPhotoWithADateLikeIdIsNotRenderedOntoItself()
{
    test::SyncHarness& h = *m_harness;
    const QJsonObject real = h.sandbox.call("GET", u"media/playlists/mountain-mornings"_s, *h.api.token())
                                 .json()[u"media"_s][0]
                                 .toObject();
    // An id whose first 8 characters read as 31 January 2024.
    const QJsonObject dated{{u"uuid"_s, u"20240131-5b6c-4d7e-8f90-1a2b3c4d5e6f"_s},
                            {u"title"_s, u"Beach"_s},
                            {u"secure_base_url"_s, real[u"secure_base_url"_s]}};
    const QJsonObject listing{{u"media"_s, QJsonArray{dated, real}}};
    QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                {u"path"_s, u"/api/v6/media/playlists/mountain-mornings"_s},
                                {u"status"_s, 200},
                                {u"body"_s, QString::fromUtf8(QJsonDocument(listing).toJson())}}));
    test::editAlbum(h.account, 102, [&](Album& album) { album.count = 2; });
    test::editAlbum(h.account, 103, [&](Album& album) { album.includeInSaver = false; });

    QVERIFY(h.runPass());
    QVERIFY(h.runPass(true));

    QCOMPARE(test::SyncHarness::photoNames(mountains()).size(), 2);
    QVERIFY(QFile::exists(mountains() + u"/Beach-20240131.jpg"_s));
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()), test::SyncHarness::photoNames(mountains()));
    QCOMPARE(FileIdentity::of(h.sync().paperDir() + u"/Beach-20240131.jpg"_s),
             FileIdentity::of(mountains() + u"/Beach-20240131.jpg"_s));
    QCOMPARE(QImageReader(h.sync().paperDir() + u"/Beach-20240131.jpg"_s).size(), QSize(1280, 1024));
    QCOMPARE(h.syncLines().filter(u"local photo"_s), QStringList());
    QCOMPARE(h.syncLines().last(),
             u"synced 1 playlists: 2 photos, 0 downloaded, 0 failed, 2 in wallpaper, 0 in saver"_s);
}

void PlaylistSyncPassTest::skippedPlaylistKeepsWhatItHad_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("line");

    QTest::newRow("null title") << u"title"_s << QJsonValue(QJsonValue::Null)
                                << u"playlist 102: title can't be a folder name, skipped"_s;
    QTest::newRow("fragment that can't form a request")
        << u"title_fragment"_s << QJsonValue(u".."_s)
        << u"playlist 102: its address can't form a request, skipped"_s;
}

void PlaylistSyncPassTest::skippedPlaylistKeepsWhatItHad()
{
    QFETCH(QString, field);
    QFETCH(QJsonValue, value);
    QFETCH(QString, line);
    test::SyncHarness& h = *m_harness;
    QVERIFY(QDir().mkpath(mountains()));
    QVERIFY(test::SyncHarness::writeJpeg(mountains() + u"/Own Photo.jpg"_s, QSize(800, 600)));
    QVERIFY(h.runPass());
    const QStringList folder = test::SyncHarness::entries(mountains());
    const QStringList paper = test::SyncHarness::photoNames(h.sync().paperDir());
    QCOMPARE(paper.size(), 25);
    const QString previews = h.sync().imagesDir() + u"/Mountain Mornings"_s;
    QCOMPARE(test::SyncHarness::entries(previews).size(), 1);

    // The service answers the album list with a playlist the pass can't use.
    const QString token = *h.api.token();
    QJsonObject answer = h.sandbox.call("GET", u"albums"_s, token).json().toObject();
    QJsonArray albums = answer[u"albums"_s].toArray();
    for (qsizetype i = 0; i < albums.size(); ++i) {
        QJsonObject album = albums[i].toObject();
        if (album[u"id"_s].toInteger() == 102) {
            album.insert(field, value);
            albums[i] = album;
        }
    }
    answer[u"albums"_s] = albums;
    QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                {u"path"_s, u"/api/v6/albums"_s},
                                {u"status"_s, 200},
                                {u"body"_s, QString::fromUtf8(QJsonDocument(answer).toJson())}}));
    const auto reload = [&] {
        h.account.setAlbums(AlbumsResponse::fromJson(h.sandbox.call("GET", u"albums"_s, token).json())
                                .value_or(AlbumsResponse{})
                                .albums);
    };
    reload();
    h.sandbox.clearRequests();
    h.forgetLog();
    QVERIFY(h.runPass(true));

    QCOMPARE(h.listingRequests(),
             QStringList{u"GET /api/v6/media/playlists/editor-s-picks?page=1&per_page=500"_s});
    QCOMPARE(h.syncLines().filter(u"playlist 102"_s), QStringList{line});
    QCOMPARE(h.syncLines().last(),
             u"not on the service: 0 photos; 1 playlists skipped; tried again when the playlists change"_s);
    QCOMPARE(test::SyncHarness::entries(mountains()), folder);
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()), paper);
    QCOMPARE(test::SyncHarness::entries(previews).size(), 1);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
    QCOMPARE(defaults().mapValue(keys::syncPlaylistTitles).value_or(QVariantMap()).value(u"102"_s),
             QVariant(u"Mountain Mornings"_s));

    // Asked again while nothing changed, the pass lists nothing: the playlist can't be synced yet.
    h.sandbox.clearRequests();
    QVERIFY(h.runPass());
    QCOMPARE(h.listingRequests(), QStringList());

    // The next good answer, with the playlists' new stamp, finds every photo still there.
    h.sandbox.clearFaults();
    reload();
    test::editUser(h.account, [](User& user) { user.playlistsUpdatedAt = u"2025-02-01T08:00:00.000Z"_s; });
    h.sandbox.clearRequests();
    QVERIFY(h.runPass());
    QCOMPARE(h.listingRequests().size(), 2);
    QCOMPARE(h.cdnRequests(), QStringList());
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()), paper);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
}

void PlaylistSyncPassTest::failedDownloadsAreFetchedByTheNextPass()
{
    test::SyncHarness& h = *m_harness;
    // Half downloads of the two under their final names: no photo, so never placed.
    const QStringList failing = h.listedNames(u"mountain-mornings"_s, false).mid(0, 2);
    for (const QString& name : failing)
        QVERIFY(test::writeFile(mountains() + u'/' + name, QByteArray(1000, 'h')));
    QVERIFY(h.sandbox.addFault({{u"path"_s, u"/cdn/*"_s}, {u"status"_s, 503}, {u"times"_s, 2}}));
    QVERIFY(h.runPass());
    QCOMPARE(h.syncLines().filter(u"synced "_s),
             QStringList{
                 u"synced 2 playlists: 44 photos, 42 downloaded, 2 failed, 22 in wallpaper, 20 in saver"_s});
    QCOMPARE(defaults().boolValue(keys::syncDirty), true);
    for (const QString& name : failing)
        QVERIFY(!test::existsNoFollow(h.sync().paperDir() + u'/' + name));
    const QStringList missing = h.cdnRequests().mid(0, 2);

    // Nothing else changed; the next pass fetches just the two.
    h.sandbox.clearRequests();
    QVERIFY(h.runPass());
    QCOMPARE(h.cdnRequests(), missing);
    QCOMPARE(test::SyncHarness::photoNames(mountains()).size(), 24);
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()).size(), 24);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
}

void PlaylistSyncPassTest::photosTheServiceLacksWaitForTheListingToChange_data()
{
    QTest::addColumn<QString>("lack");
    QTest::addColumn<int>("reports");

    QTest::newRow("404") << u"404"_s << 1;
    QTest::newRow("403") << u"403"_s << 1;
    QTest::newRow("no address") << u"no address"_s << 0;
}

void PlaylistSyncPassTest::photosTheServiceLacksWaitForTheListingToChange()
{
    QFETCH(QString, lack);
    QFETCH(int, reports);

    test::SyncHarness& h = *m_harness;
    test::editAlbum(h.account, 103, [&](Album& album) { album.includeInSaver = false; });
    const QString fragment = u"/api/v6/media/playlists/mountain-mornings"_s;
    QJsonObject listing =
        h.sandbox.call("GET", u"media/playlists/mountain-mornings?page=1&per_page=500"_s, *h.api.token())
            .json()
            .toObject();
    QJsonArray media = listing[u"media"_s].toArray();
    QJsonObject lacking = media[0].toObject();
    const QString shortId = lacking[u"uuid"_s].toString().left(8);
    if (lack == u"no address"_s) {
        lacking.remove(u"secure_base_url"_s);
        media[0] = lacking;
        listing[u"media"_s] = media;
        QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                    {u"path"_s, fragment},
                                    {u"status"_s, 200},
                                    {u"body"_s, QString::fromUtf8(QJsonDocument(listing).toJson())}}));
    } else {
        const QString path = QUrl(lacking[u"secure_base_url"_s].toString()).path() + u'*';
        QVERIFY(h.sandbox.addFault({{u"path"_s, path}, {u"status"_s, lack.toInt()}}));
    }
    int reported = 0;
    connect(&h.reporter, &CrashReporter::reported, this, [&reported] { ++reported; });
    const auto triedAgain = [&] { return h.cdnRequests().filter(shortId).size(); };

    QVERIFY(h.runPass());
    QCOMPARE(h.syncLines().filter(u"synced "_s),
             QStringList{
                 u"synced 1 playlists: 24 photos, 23 downloaded, 0 failed, 23 in wallpaper, 0 in saver"_s});
    QCOMPARE(h.syncLines().last(),
             u"not on the service: 1 photos; 0 playlists skipped; tried again when the playlists change"_s);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
    QCOMPARE(reported, reports);

    // Album reloads ask for passes; while the playlists stay the same they ask the service nothing.
    for (int i = 0; i < 3; ++i) {
        h.sandbox.clearRequests();
        QVERIFY(h.runPass());
        QCOMPARE(h.requestLines(), QStringList());
    }
    QCOMPARE(reported, reports);

    // A changed playlist is listed again, and the photo asked for again.
    test::editUser(h.account, [](User& user) { user.playlistsUpdatedAt = u"2025-02-01T08:00:00.000Z"_s; });
    h.sandbox.clearRequests();
    QVERIFY(h.runPass());
    QCOMPARE(h.listingRequests().size(), 1);
    QCOMPARE(triedAgain(), lack == u"no address"_s ? 0 : 1);
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()).size(), 23);
    QCOMPARE(defaults().boolValue(keys::syncDirty), false);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistSyncPassTest)
#include "PlaylistSyncPassTest.moc"
