#include "support/AccountEdits.h"
#include "support/MediaUuids.h"
#include "support/wallpaper/RotationRig.h"

#include <QJsonObject>
#include <QSet>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString mornings = u"GET /media/playlists/mountain-mornings?page=1&per_page=500"_s;
const QString favorites = u"GET /media/playlists/favorites?page=1&per_page=500"_s;
const QString today = u"GET /media/today?page=1&per_page=10"_s;

Medium ownPhoto(const QString& name)
{
    return Medium{.uuid = u"local-"_s + name, .title = name, .localPath = u"/photos/"_s + name};
}

} // namespace

/// Where the rotation's photos come from and when they are fetched again.
class PhotoPoolTest final : public QObject
{
    Q_OBJECT

private slots:
    void reusedForSixHours();
    void rebuiltWhenTheKeyChanges_data();
    void rebuiltWhenTheKeyChanges();
    void sources_data();
    void sources();
    void aFailedListingKeepsThePool();
    void aPlaylistWhoseAddressCantFormARequestIsLeftOut();
    void outOfReachTheRotationGoesOnWithWhatItHas();
};

void PhotoPoolTest::reusedForSixHours()
{
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    QCOMPARE(rig.requestLines(), QStringList{mornings});
    QCOMPARE(engine.pool().photos().size(), 24);

    QVERIFY(rig.advance(21600s));
    QVERIFY(rig.change());
    QVERIFY(rig.requestLines().isEmpty());
    QCOMPARE(engine.pool().queued().size(), 22);

    // One second more and the pool is fetched again; the queue starts over.
    QVERIFY(rig.advance(1s));
    QVERIFY(rig.change());
    QCOMPARE(rig.requestLines(), QStringList{mornings});
    QCOMPARE(engine.pool().queued().size(), 23);

    // A build time ahead of the clock (set back since) does not keep the pool either.
    rig.clock.setNow(rig.clock.now().addSecs(-600));
    QVERIFY(rig.change());
    QCOMPARE(rig.requestLines(), QStringList{mornings});
}

void PhotoPoolTest::rebuiltWhenTheKeyChanges_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QStringList>("requests");
    QTest::newRow("nothing changed") << u"nothing"_s << QStringList();
    QTest::newRow("another playlist marked") << u"mark"_s << QStringList{favorites, mornings};
    QTest::newRow("the playlist unmarked") << u"unmark"_s << QStringList{today};
    QTest::newRow("playlists updated") << u"stamp"_s << QStringList{mornings};
    QTest::newRow("key cleared by the model") << u"clear"_s << QStringList{mornings};
}

void PhotoPoolTest::rebuiltWhenTheKeyChanges()
{
    QFETCH(QString, what);
    QFETCH(QStringList, requests);
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    QCOMPARE(engine.poolKey(), u"102|2025-01-15T09:30:00.000Z"_s);
    rig.requestLines();

    if (what == u"mark")
        test::editAlbum(rig.account, 101, [&](Album& album) { album.includeInPaper = true; });
    else if (what == u"unmark")
        test::editAlbum(rig.account, 102, [&](Album& album) { album.includeInPaper = false; });
    else if (what == u"stamp")
        test::editUser(rig.account,
                       [&](User& user) { user.playlistsUpdatedAt = u"2026-12-10T08:00:00.000Z"_s; });
    else if (what == u"clear")
        engine.setPoolKey(QString());
    QVERIFY(rig.advance(60s));
    QVERIFY(rig.change());
    QCOMPARE(rig.requestLines(), requests);
}

void PhotoPoolTest::sources_data()
{
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("synced");
    QTest::addColumn<QStringList>("own");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<int>("poolSize");

    const QStringList own{u"beach.jpg"_s, u"cat.jpg"_s};
    QTest::newRow("nothing marked, nothing of the user's: the photos of the day")
        << QString() << 0 << QStringList() << QStringList{today} << 6;
    QTest::newRow("nothing marked, the user's own files: nothing")
        << QString() << 0 << own << QStringList() << 0;
    QTest::newRow("marked, nothing synced yet: every photo")
        << u"mornings"_s << 0 << QStringList() << QStringList{mornings} << 24;
    QTest::newRow("marked, some synced: those, then the user's files")
        << u"mornings"_s << 3 << own << QStringList{mornings} << 5;
    QTest::newRow("marked, synced index names none of them: every photo")
        << u"mornings"_s << -1 << QStringList() << QStringList{mornings} << 24;
    QTest::newRow("marked but empty, the user's own files: just those")
        << u"empty"_s << 0 << own << QStringList{u"GET /media/playlists/rotation-empty?page=1&per_page=500"_s}
        << 2;
    QTest::newRow("marked but empty, nothing else: the photos of the day")
        << u"empty"_s << 0 << QStringList()
        << QStringList{u"GET /media/playlists/rotation-empty?page=1&per_page=500"_s, today} << 6;
}

void PhotoPoolTest::sources()
{
    QFETCH(QString, marked);
    QFETCH(int, synced);
    QFETCH(QStringList, own);
    QFETCH(QStringList, requests);
    QFETCH(int, poolSize);

    test::RotationRig rig;
    test::editAlbum(rig.account, 102, [&](Album& album) { album.includeInPaper = marked == u"mornings"_s; });
    if (marked == u"empty"_s)
        rig.addPlaylist(u"Rotation Empty"_s, {});
    for (const QString& name : own)
        rig.library.ownPhotos.append(ownPhoto(name));
    RotationEngine& engine = rig.engine();
    const bool changed = rig.change();
    QCOMPARE(rig.requestLines(), requests);
    QCOMPARE(changed, poolSize > 0);

    if (synced != 0) {
        // Index some of the playlist's photos (or only photos it does not hold) as synced.
        const QList<Medium> all = engine.pool().photos();
        rig.library.index.clear();
        if (synced < 0)
            rig.library.index.insert(u"ffffffff"_s, u"/elsewhere.jpg"_s);
        for (int i = 0; i < synced; ++i)
            rig.library.index.insert(all[i * 5].shortId(), u"/synced.jpg"_s);
        engine.setPoolKey(QString());
        QVERIFY(rig.change());
        rig.requestLines();
        if (synced > 0) {
            QStringList expected;
            for (int i = 0; i < synced; ++i)
                expected.append(all[i * 5].uuid);
            expected += test::uuidsOf(rig.library.ownPhotos);
            QCOMPARE(test::uuidsOf(engine.pool().photos()), expected);
        }
    }
    QCOMPARE(engine.pool().photos().size(), poolSize);
    if (marked == u"empty"_s && !own.isEmpty())
        QCOMPARE(engine.pool().photos(), rig.library.ownPhotos);
}

void PhotoPoolTest::aFailedListingKeepsThePool()
{
    test::RotationRig rig;
    const Album shared = rig.addPlaylist(u"Rotation Shared"_s, {});
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const QList<Medium> pool = engine.pool().photos();
    const QList<Medium> queued = engine.pool().queued();
    const QString key = engine.poolKey();

    rig.sandbox.call("POST", u"albums/"_s + shared.titleFragment, rig.token, {{u"uuid"_s, pool[3].uuid}});
    test::editUser(rig.account, [&](User& user) { user.playlistsUpdatedAt = u"2026-12-10T08:00:00.000Z"_s; });
    QVERIFY(rig.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/media/playlists/rotation-shared"_s},
                                             {u"status"_s, 500},
                                             {u"body"_s, u"{\"error\": \"listing broke\"}"_s},
                                             {u"times"_s, 1}}));
    QVERIFY(!rig.change());
    QCOMPARE(engine.pool().photos(), pool);
    QCOMPARE(engine.pool().queued(), queued);
    QCOMPARE(engine.poolKey(), key);
    QCOMPARE(engine.lastError(), u"listing broke"_s);

    // A photo in two marked playlists is in the pool once, at its first place.
    QVERIFY(rig.advance(121s));
    QVERIFY(rig.change());
    QCOMPARE(engine.pool().photos(), pool);
    QVERIFY(engine.poolKey() != key);
}

void PhotoPoolTest::aPlaylistWhoseAddressCantFormARequestIsLeftOut()
{
    test::RotationRig rig;
    test::editAlbum(rig.account, 102, [](Album& album) { album.includeInPaper = true; });
    QList<Album> albums = rig.account.albums();
    Album broken =
        *std::find_if(albums.begin(), albums.end(), [](const Album& album) { return album.id == 102; });
    broken.id = 900;
    broken.title = u"Broken"_s;
    broken.titleFragment = u".."_s;
    albums.prepend(broken);
    rig.account.setAlbums(albums);
    RotationEngine& engine = rig.engine();

    QVERIFY(rig.change());
    QCOMPARE(rig.requestLines(), QStringList{mornings});
    QCOMPARE(engine.pool().photos().size(), 24);
}

void PhotoPoolTest::outOfReachTheRotationGoesOnWithWhatItHas()
{
    test::RotationRig rig;
    const QString folder = rig.library.folder;
    rig.library.index = {{u"0b0b0b0b"_s, folder + u"/Pier-0b0b0b0b.jpg"_s},
                         {u"0a0a0a0a"_s, folder + u"/Harbour-0a0a0a0a.jpg"_s}};
    rig.library.ownPhotos = {ownPhoto(u"mine.jpg"_s)};
    const QJsonObject unreachable{{u"path"_s, u"/api/v6/media/*"_s}, {u"drop"_s, true}};
    const auto bumpPlaylists = [&rig](const QString& stamp) {
        test::editUser(rig.account, [&](User& user) { user.playlistsUpdatedAt = stamp; });
    };
    RotationEngine& engine = rig.engine();

    // A launch without the service: the synced photos and the user's own rotate.
    QVERIFY(rig.sandbox.addFault(unreachable));
    QVERIFY(rig.change());
    QCOMPARE(test::uuidsOf(engine.pool().photos()),
             (QStringList{u"0a0a0a0a"_s, u"0b0b0b0b"_s, u"local-mine.jpg"_s}));
    const Medium shown = rig.applier().calls().last().photo;
    QVERIFY(shown.localPath);
    QCOMPARE(shown.title, shown.uuid == u"0a0a0a0a"_s   ? u"Harbour"_s
                          : shown.uuid == u"0b0b0b0b"_s ? u"Pier"_s
                                                        : u"mine.jpg"_s);

    // Back in reach, the next change builds the pool from the service again.
    rig.sandbox.clearFaults();
    QVERIFY(rig.change());
    const QList<Medium> built = engine.pool().photos();
    QCOMPARE(built.size(), 24 + 1);

    // Out of reach again with other playlists marked: the pool built this run goes on.
    bumpPlaylists(u"2026-12-10T08:00:00.000Z"_s);
    QVERIFY(rig.sandbox.addFault(unreachable));
    QVERIFY(rig.change());
    QCOMPARE(engine.pool().photos(), built);
    QCOMPARE(rig.applier().calls().size(), 3);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoPoolTest)
#include "PhotoPoolTest.moc"
