#include "model/DefaultsKeys.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Account;
using lumi::Album;
using lumi::AppModel;
using lumi::DisplayInfo;
using lumi::Medium;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;

namespace {

const QString albumsReload = u"GET /albums?page=1&per_page=500"_s;
const QString userRefresh = u"GET /users"_s;

Medium localPhoto(const QString& name)
{
    Medium photo;
    photo.uuid = u"local-"_s + name;
    photo.title = name.chopped(4);
    photo.localPath = u"/photos/"_s + name;
    return photo;
}

QString photoEvent(const QString& name, const Medium& photo)
{
    return u"events.track(%1,photo-id=%2,photo-title=%3)"_s.arg(name, photo.uuid, photo.displayTitle());
}

struct Outcome
{
    std::exception_ptr failure;
    std::optional<bool> done; ///< the result of the operations that have one
};

// Runs one single-playlist operation: "paper", "saver", "add" or "remove".
Outcome runOperation(ModelHarness& h, const QString& operation, const Medium& photo, const Album& album,
                     bool included)
{
    std::optional<bool> done;
    std::exception_ptr failure;
    if (operation == u"paper")
        failure = runTask(h.playlists().setIncludeInPaper(album, included));
    else if (operation == u"saver")
        failure = runTask(h.playlists().setIncludeInSaver(album, included));
    else if (operation == u"add")
        failure = runTask(h.playlists().addToPlaylist(photo, album), done);
    else
        failure = runTask(h.playlists().removeFromPlaylist(photo, album), done);
    return Outcome{failure, done};
}

QStringList eventsOf(const QStringList& calls)
{
    QStringList events;
    for (const QString& call : calls) {
        if (call.startsWith(u"events.track"_s))
            events.append(call);
    }
    return events;
}

} // namespace

class PlaylistEditorTest final : public QObject
{
    Q_OBJECT

private slots:
    void singleOperationRequests_data();
    void singleOperationRequests();
    void failedOperationChangesNothing_data();
    void failedOperationChangesNothing();
    void addPhotosToPlaylist_data();
    void addPhotosToPlaylist();
    void favoritesAddedByAnyRouteFillTheStar_data();
    void favoritesAddedByAnyRouteFillTheStar();
    void toggleFavorite_data();
    void toggleFavorite();
    void answerAfterSignOutIsDropped();
    void setAsWallpaper_data();
    void setAsWallpaper();
    void createPlaylistChecksTheName_data();
    void createPlaylistChecksTheName();
    void renamePlaylist_data();
    void renamePlaylist();
    void deletePlaylist_data();
    void deletePlaylist();
};

void PlaylistEditorTest::singleOperationRequests_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QJsonObject>("body");
    QTest::addColumn<bool>("raisesEvent");

    // %1 stands for the photo's uuid.
    QTest::newRow("wallpaper mark") << u"paper"_s << QStringList{u"PUT /albums/include"_s, albumsReload}
                                    << QJsonObject{{u"playlist"_s, u"Editor's Picks"_s},
                                                   {u"type"_s, u"paper"_s},
                                                   {u"included"_s, true}}
                                    << false;
    QTest::newRow("saver mark") << u"saver"_s << QStringList{u"PUT /albums/include"_s, albumsReload}
                                << QJsonObject{{u"playlist"_s, u"Editor's Picks"_s},
                                               {u"type"_s, u"saver"_s},
                                               {u"included"_s, false}}
                                << false;
    QTest::newRow("add one photo") << u"add"_s
                                   << QStringList{u"POST /albums/editor-s-picks"_s, userRefresh, albumsReload}
                                   << QJsonObject{{u"uuid"_s, u"%1"_s}} << true;
    QTest::newRow("remove one photo")
        << u"remove"_s << QStringList{u"DELETE /albums?playlist=Editor%27s%20Picks&uuid=%1"_s, albumsReload}
        << QJsonObject() << false;
}

void PlaylistEditorTest::singleOperationRequests()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, requests);
    QFETCH(QJsonObject, body);
    QFETCH(bool, raisesEvent);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Medium photo = h.catalogPhotos(1).value(0);
    const Album picks = h.album(u"editor-s-picks"_s);
    QCOMPARE(picks.id, 103);

    const Outcome outcome = runOperation(h, operation, photo, picks, operation == u"paper");
    QVERIFY(!outcome.failure);
    QVERIFY(h.settle());

    QStringList expected;
    for (const QString& line : std::as_const(requests))
        expected.append(line.contains(u"%1"_s) ? line.arg(photo.uuid) : line);
    QCOMPARE(h.requestLines(), expected);
    QJsonObject expectedBody;
    for (auto it = body.begin(); it != body.end(); ++it)
        expectedBody.insert(it.key(), *it == u"%1"_s ? QJsonValue(photo.uuid) : *it);
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)), expectedBody);
    if (operation == u"add" || operation == u"remove")
        QCOMPARE(outcome.done, std::optional<bool>(true));
    QCOMPARE(eventsOf(h.journal.calls()),
             raisesEvent ? QStringList{photoEvent(u"photo-added-to-playlist"_s, photo)} : QStringList());
    // A change of playlists on the server asks for a forced pass after the usual delay.
    QCOMPARE(h.journal.calls().filter(u"sync."_s), QStringList{u"sync.request(20s,force)"_s});
    QCOMPARE(model.alert(), std::nullopt);
}

void PlaylistEditorTest::failedOperationChangesNothing_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<bool>("offline");

    const QJsonObject dropped{{u"path"_s, u"/api/v6/albums*"_s}, {u"drop"_s, true}};
    const QJsonObject refused{{u"path"_s, u"/api/v6/albums*"_s}, {u"status"_s, 500}};
    QTest::newRow("mark while offline") << u"paper"_s << dropped << true;
    QTest::newRow("mark refused") << u"saver"_s << refused << false;
    QTest::newRow("add refused") << u"add"_s << refused << false;
    QTest::newRow("remove refused") << u"remove"_s << refused << false;
}

void PlaylistEditorTest::failedOperationChangesNothing()
{
    QFETCH(QString, operation);
    QFETCH(QJsonObject, fault);
    QFETCH(bool, offline);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Medium photo = h.catalogPhotos(1).value(0);
    const QList<Album> albums = model.account().albums();
    const Album picks = h.album(u"editor-s-picks"_s);
    QVERIFY(h.sandbox.addFault(fault));
    QSignalSpy albumsChanged(&model.account(), &Account::albumsChanged);

    const Outcome outcome = runOperation(h, operation, photo, picks, false);
    // Failures are reported, never thrown.
    QVERIFY(!outcome.failure);
    QVERIFY(h.settle());

    QCOMPARE(h.requestLines().filter(u"GET "_s), QStringList());
    QCOMPARE(albumsChanged.count(), 0);
    QCOMPARE(model.account().albums(), albums);
    QCOMPARE(model.isOffline(), offline);
    // Nothing tries the user's change again, so even a lost connection is said.
    QVERIFY(model.alert().has_value());
    QCOMPARE(model.alert() == AppModel::offlineActionMessage(), offline);
    QCOMPARE(eventsOf(h.journal.calls()), QStringList());
    if (operation == u"add" || operation == u"remove")
        QCOMPARE(outcome.done, std::optional<bool>(false));
}

void PlaylistEditorTest::addPhotosToPlaylist_data()
{
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QStringList>(
        "photos"); // "c<n>": catalog photo n, "l": a local photo, "x": no such photo
    QTest::addColumn<QStringList>("favorites"); // catalog photos that are favorites already
    QTest::addColumn<int>("added");
    QTest::addColumn<QStringList>("sent"); // catalog photos sent, in order
    QTest::addColumn<QString>("event");

    QTest::newRow("nothing dropped") << u"editor-s-picks"_s << QStringList() << QStringList() << 0
                                     << QStringList() << QString();
    QTest::newRow("only local photos") << u"editor-s-picks"_s << QStringList{u"l"_s, u"l"_s} << QStringList()
                                       << 0 << QStringList() << QString();
    QTest::newRow("local photos skipped")
        << u"editor-s-picks"_s << QStringList{u"l"_s, u"c0"_s, u"l"_s, u"c1"_s} << QStringList() << 2
        << QStringList{u"c0"_s, u"c1"_s} << u"photo-added-to-playlist"_s;
    QTest::newRow("third of five fails")
        << u"editor-s-picks"_s << QStringList{u"c0"_s, u"c1"_s, u"x"_s, u"c2"_s, u"c3"_s} << QStringList()
        << 2 << QStringList{u"c0"_s, u"c1"_s, u"x"_s} << u"photo-added-to-playlist"_s;
    QTest::newRow("favorites skip known ones")
        << u"favorites"_s << QStringList{u"c0"_s, u"c1"_s, u"c2"_s} << QStringList{u"c1"_s} << 2
        << QStringList{u"c0"_s, u"c2"_s} << u"favorite-added"_s;
}

void PlaylistEditorTest::addPhotosToPlaylist()
{
    QFETCH(QString, fragment);
    QFETCH(QStringList, photos);
    QFETCH(QStringList, favorites);
    QFETCH(int, added);
    QFETCH(QStringList, sent);
    QFETCH(QString, event);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QList<Medium> catalog = h.catalogPhotos(4, 3);
    const auto photoOf = [&catalog](const QString& code) {
        if (code == u"l")
            return localPhoto(u"IMG_0001.jpg"_s);
        if (code == u"x")
            return Medium{.uuid = u"00000000-no-such-photo"_s};
        return catalog.at(code.mid(1).toInt());
    };
    QList<Medium> dropped;
    for (const QString& code : std::as_const(photos))
        dropped.append(photoOf(code));
    QSet<QString> knownFavorites;
    for (const QString& code : std::as_const(favorites))
        knownFavorites.insert(photoOf(code).uuid);
    model.setFavoriteUUIDs(knownFavorites);
    QSignalSpy favoritesChanged(&model, &AppModel::favoriteUUIDsChanged);

    std::optional<int> result;
    QVERIFY(!runTask(h.playlists().addPhotosToPlaylist(dropped, h.album(fragment)), result));
    QVERIFY(h.settle());

    QCOMPARE(*result, added);
    QStringList expected;
    for (qsizetype i = 0; i < sent.size(); ++i)
        expected.append(u"POST /albums/"_s + fragment);
    if (added > 0)
        expected << userRefresh << albumsReload;
    QCOMPARE(h.requestLines(), expected);
    QStringList uuids;
    for (const QJsonValue& request : h.apiRequests()) {
        if (request[u"method"_s] == u"POST"_s)
            uuids.append(ModelHarness::bodyOf(request)[u"uuid"_s].toString());
    }
    QStringList sentUuids;
    for (const QString& code : std::as_const(sent))
        sentUuids.append(photoOf(code).uuid);
    QCOMPARE(uuids, sentUuids);

    QStringList expectedEvents;
    for (const QString& code : std::as_const(sent)) {
        if (code != u"x")
            expectedEvents.append(photoEvent(event, photoOf(code)));
    }
    QCOMPARE(eventsOf(h.journal.calls()), expectedEvents);
    QCOMPARE(model.alert().has_value(), sent.contains(u"x"_s));
    if (fragment == u"favorites") {
        QCOMPARE(favoritesChanged.count(), added);
        for (const QString& code : std::as_const(sent))
            QVERIFY(model.favoriteUUIDs().contains(photoOf(code).uuid));
    } else {
        QCOMPARE(favoritesChanged.count(), 0);
    }
}

void PlaylistEditorTest::favoritesAddedByAnyRouteFillTheStar_data()
{
    QTest::addColumn<QString>("route");

    QTest::newRow("menu") << u"addFavorite"_s;
    QTest::newRow("grid star") << u"toggleFavorite"_s;
    QTest::newRow("add to the favorites playlist") << u"addToPlaylist"_s;
    QTest::newRow("drop on the favorites playlist") << u"addPhotosToPlaylist"_s;
}

void PlaylistEditorTest::favoritesAddedByAnyRouteFillTheStar()
{
    QFETCH(QString, route);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Medium photo = h.catalogPhotos(1, 5).value(0);
    QVERIFY(!model.favoriteUUIDs().contains(photo.uuid));
    QSignalSpy favoritesChanged(&model, &AppModel::favoriteUUIDsChanged);

    const Album favorites = *model.favoritesAlbum();
    std::exception_ptr failure;
    std::optional<bool> added;
    std::optional<int> count;
    if (route == u"addFavorite")
        failure = runTask(h.playlists().addFavorite(photo), added);
    else if (route == u"toggleFavorite")
        failure = runTask(h.playlists().toggleFavorite(photo), added);
    else if (route == u"addToPlaylist")
        failure = runTask(h.playlists().addToPlaylist(photo, favorites), added);
    else
        failure = runTask(h.playlists().addPhotosToPlaylist(QList<Medium>{photo}, favorites), count);
    QVERIFY(!failure);
    QVERIFY(h.settle());

    QVERIFY(added.value_or(count == 1));
    QVERIFY(model.favoriteUUIDs().contains(photo.uuid));
    QCOMPARE(favoritesChanged.count(), 1);
    QCOMPARE(h.requestLines(), (QStringList{u"POST /albums/favorites"_s, userRefresh, albumsReload}));
    // The album count followed the server.
    QCOMPARE(model.favoritesAlbum()->count, std::optional<qint64>(favorites.count.value_or(0) + 1));
}

void PlaylistEditorTest::toggleFavorite_data()
{
    QTest::addColumn<bool>("favorite");
    QTest::addColumn<bool>("holdAlbum");
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<bool>("favoriteAfter");

    QTest::newRow("not a favorite: added")
        << false << true << 0 << QStringList{u"POST /albums/favorites"_s, userRefresh, albumsReload}
        << QStringList{u"favorite-added"_s} << true;
    QTest::newRow("a favorite: removed")
        << true << true << 0 << QStringList{u"DELETE /albums?playlist=Favorites&uuid=%1"_s, albumsReload}
        << QStringList() << false;
    QTest::newRow("a favorite without a favorites album held")
        << true << false << 0 << QStringList{u"DELETE /albums?playlist=Favorites&uuid=%1"_s, albumsReload}
        << QStringList() << false;
    QTest::newRow("removal refused: still a favorite")
        << true << true << 500 << QStringList{u"DELETE /albums?playlist=Favorites&uuid=%1"_s} << QStringList()
        << true;
    QTest::newRow("addition refused: still no favorite")
        << false << true << 404 << QStringList{u"POST /albums/favorites"_s} << QStringList() << false;
}

void PlaylistEditorTest::toggleFavorite()
{
    QFETCH(bool, favorite);
    QFETCH(bool, holdAlbum);
    QFETCH(int, failWith);
    QFETCH(QStringList, requests);
    QFETCH(QStringList, events);
    QFETCH(bool, favoriteAfter);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    // A favorite on the server's side too, so its removal really removes something.
    const Medium photo = favorite ? Medium{.uuid = *model.favoriteUUIDs().cbegin(), .title = u"Known"_s}
                                  : h.catalogPhotos(1, 5).value(0);
    if (!holdAlbum)
        model.setAlbums(model.playlists());
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/albums*"_s}, {u"status"_s, failWith}}));

    std::optional<bool> done;
    QVERIFY(!runTask(h.playlists().toggleFavorite(photo), done));
    QVERIFY(h.settle());

    QCOMPARE(*done, failWith == 0);
    QStringList expected;
    for (const QString& line : std::as_const(requests))
        expected.append(line.contains(u"%1"_s) ? line.arg(photo.uuid) : line);
    QCOMPARE(h.requestLines(), expected);
    QStringList expectedEvents;
    for (const QString& name : std::as_const(events))
        expectedEvents.append(photoEvent(name, photo));
    QCOMPARE(eventsOf(h.journal.calls()), expectedEvents);
    QCOMPARE(model.favoriteUUIDs().contains(photo.uuid), favoriteAfter);
    QCOMPARE(model.alert().has_value(), failWith != 0);
}

void PlaylistEditorTest::answerAfterSignOutIsDropped()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QList<Medium> photos = h.catalogPhotos(2, 5);
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/albums/favorites"_s}, {u"delayMs"_s, 200}}));

    // Started, and waiting for the first answer when the user signs out.
    QCoro::Task<int> batch = h.playlists().addPhotosToPlaylist(photos, *model.favoritesAlbum());
    model.signOut();
    h.journal.clear();
    std::optional<int> added;
    QVERIFY(!runTask(std::move(batch), added));
    QVERIFY(h.settle());

    QCOMPARE(*added, 0);
    QVERIFY(model.favoriteUUIDs().isEmpty());
    // Only the request already under way: no second photo, no user or album reload.
    QCOMPARE(h.requestLines(), QStringList{u"POST /albums/favorites"_s});
    QCOMPARE(eventsOf(h.journal.calls()), QStringList());
}

void PlaylistEditorTest::setAsWallpaper_data()
{
    QTest::addColumn<QString>("playlist"); // "none", "given"
    QTest::addColumn<bool>("wallpaperHeld");
    QTest::addColumn<QStringList>("displays"); // "all" for every display
    QTest::addColumn<bool>("rotationAccepts");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("result");

    const QStringList addition{u"POST /albums/wallpaper"_s, userRefresh, albumsReload};
    QTest::newRow("wallpaper playlist made first")
        << u"none"_s << false << QStringList{u"all"_s} << true
        << (QStringList{u"POST /albums"_s, albumsReload} + addition) << u"rotation.showPhoto(%1,all)"_s
        << true;
    QTest::newRow("wallpaper playlist held") << u"none"_s << true << QStringList{u"all"_s} << true << addition
                                             << u"rotation.showPhoto(%1,all)"_s << true;
    QTest::newRow("playlist given: shown at once")
        << u"given"_s << false << QStringList{u"LEFT"_s, u"RIGHT"_s} << true << QStringList()
        << u"rotation.showPhoto(%1,LEFT+RIGHT)"_s << true;
    QTest::newRow("no display chosen is a cancel")
        << u"none"_s << true << QStringList() << true << QStringList() << QString() << false;
    QTest::newRow("rotation busy: the addition stays")
        << u"none"_s << true << QStringList{u"all"_s} << false << addition << u"rotation.showPhoto(%1,all)"_s
        << false;
}

void PlaylistEditorTest::setAsWallpaper()
{
    QFETCH(QString, playlist);
    QFETCH(bool, wallpaperHeld);
    QFETCH(QStringList, displays);
    QFETCH(bool, rotationAccepts);
    QFETCH(QStringList, requests);
    QFETCH(QString, shown);
    QFETCH(bool, result);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    if (wallpaperHeld) {
        std::optional<std::optional<Album>> created;
        QVERIFY(!runTask(h.playlists().createPlaylist(u"Wallpaper"_s), created));
        QVERIFY(h.settle());
        QCOMPARE(h.album(u"wallpaper"_s).title, u"Wallpaper"_s);
    }
    const Medium photo = h.catalogPhotos(1, 7).value(0);
    h.journal.clear();
    h.rotation.showSucceeds = rotationAccepts;
    std::optional<QList<DisplayInfo>> chosen;
    if (displays != QStringList{u"all"_s}) {
        chosen.emplace();
        for (const QString& name : std::as_const(displays)) {
            DisplayInfo display;
            display.name = name;
            chosen->append(display);
        }
    }
    const std::optional<Album> given =
        playlist == u"given" ? std::optional<Album>(h.album(u"editor-s-picks"_s)) : std::nullopt;

    std::optional<bool> done;
    QVERIFY(!runTask(h.playlists().setAsWallpaper(photo, given, chosen), done));
    QVERIFY(h.settle());

    QCOMPARE(*done, result);
    QCOMPARE(h.requestLines(), requests);
    if (requests.value(0) == u"POST /albums"_s) {
        QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)),
                 (QJsonObject{{u"playlist"_s, u"Wallpaper"_s}, {u"local"_s, u""_s}}));
    }
    const QStringList shows = h.journal.calls().filter(u"rotation.showPhoto"_s);
    QCOMPARE(shows, shown.isEmpty() ? QStringList() : QStringList{shown.arg(photo.uuid)});
    const QStringList events = eventsOf(h.journal.calls());
    QCOMPARE(events, requests.contains(u"POST /albums/wallpaper"_s)
                         ? QStringList{photoEvent(u"photo-added-to-playlist"_s, photo)}
                         : QStringList());
    QCOMPARE(model.alert(), std::nullopt);
}

void PlaylistEditorTest::createPlaylistChecksTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("created");

    QTest::newRow("letters, digits, blanks, hyphen, apostrophe")
        << u"Rock 'n' Roll - 2024"_s << u"Rock 'n' Roll - 2024"_s;
    QTest::newRow("blanks and tabs around") << u"  Road Trip\t "_s << u"Road Trip"_s;
    QTest::newRow("accented letter") << u"Café"_s << QString();
    QTest::newRow("exclamation mark") << u"Wow!"_s << QString();
    QTest::newRow("blanks only") << u" \t "_s << QString();
    QTest::newRow("typographic apostrophe") << u"Editor\u2019s"_s << QString();
    QTest::newRow("tab inside") << u"Road\tTrip"_s << QString();
}

void PlaylistEditorTest::createPlaylistChecksTheName()
{
    QFETCH(QString, name);
    QFETCH(QString, created);

    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    AppModel& model = h.model();
    h.sandbox.clearRequests();
    h.journal.clear();

    std::optional<std::optional<Album>> album;
    QVERIFY(!runTask(h.playlists().createPlaylist(name), album));

    if (created.isEmpty()) {
        QCOMPARE(*album, std::nullopt);
        QCOMPARE(model.alert(), lumi::PlaylistEditor::playlistNameMessage());
        QCOMPARE(h.requestLines(), QStringList());
        return;
    }
    QCOMPARE(h.requestLines(), (QStringList{u"POST /albums"_s, u"GET /albums?page=1&per_page=500"_s}));
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().first()),
             (QJsonObject{{u"playlist"_s, created}, {u"local"_s, u""_s}}));
    QVERIFY(album->has_value());
    QCOMPARE((*album)->title, created);
    QVERIFY(model.account().albums().contains(**album));
    QCOMPARE(h.journal.calls(), QStringList{u"sync.request(20s,force)"_s});
    QCOMPARE(model.alert(), std::nullopt);
}

void PlaylistEditorTest::renamePlaylist_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("renamed");
    QTest::addColumn<bool>("refused");

    QTest::newRow("new name") << u" Alpine Mornings "_s << u"Alpine Mornings"_s << false;
    QTest::newRow("own title") << u"Mountain Mornings\t"_s << QString() << false;
    QTest::newRow("empty") << u"  "_s << QString() << false;
    QTest::newRow("refused character") << u"Mornings?"_s << QString() << true;
}

void PlaylistEditorTest::renamePlaylist()
{
    QFETCH(QString, name);
    QFETCH(QString, renamed);
    QFETCH(bool, refused);

    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    AppModel& model = h.model();
    const Album mornings = model.account().albums().at(2);
    h.sandbox.clearRequests();

    QVERIFY(!runTask(h.playlists().renamePlaylist(mornings, name)));

    QCOMPARE(model.alert(),
             refused ? std::optional(lumi::PlaylistEditor::playlistNameMessage()) : std::nullopt);
    if (renamed.isEmpty()) {
        QCOMPARE(h.requestLines(), QStringList());
        return;
    }
    QCOMPARE(h.requestLines(),
             (QStringList{u"PUT /albums/"_s + mornings.titleFragment, u"GET /albums?page=1&per_page=500"_s}));
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().first()),
             (QJsonObject{{u"renamed"_s, renamed}, {u"local"_s, u""_s}}));
    QStringList titles;
    for (const Album& album : model.account().albums())
        titles.append(album.title);
    QVERIFY(titles.contains(renamed));
}

void PlaylistEditorTest::deletePlaylist_data()
{
    QTest::addColumn<int>("failWith"); // 0: answered
    QTest::newRow("deleted") << 0;
    QTest::newRow("refused: the playlist and its folder stay") << 500;
}

void PlaylistEditorTest::deletePlaylist()
{
    QFETCH(int, failWith);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Album mornings = h.album(u"mountain-mornings"_s);
    const QString linkKey = QString::number(mornings.id);
    h.defaults.setValue(lumi::keys::linkedFolderBookmarks, QVariantMap{{linkKey, QByteArray("mark")}});
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(QJsonObject{
            {u"method"_s, u"DELETE"_s}, {u"path"_s, u"/api/v6/albums"_s}, {u"status"_s, failWith}}));

    QVERIFY(!runTask(h.playlists().deletePlaylist(mornings)));
    QVERIFY(h.settle());

    const bool deleted = failWith == 0;
    QStringList expected{
        u"DELETE /albums?playlist=%1"_s.arg(QString::fromUtf8(QUrl::toPercentEncoding(mornings.title)))};
    if (deleted)
        expected.append(albumsReload);
    QCOMPARE(h.requestLines(), expected);
    QCOMPARE(h.album(u"mountain-mornings"_s).id == mornings.id, !deleted);
    QCOMPARE(model.alert().has_value(), !deleted);
    const QVariantMap links = h.defaults.mapValue(lumi::keys::linkedFolderBookmarks).value_or(QVariantMap());
    QCOMPARE(links.contains(linkKey), !deleted);
}

QTEST_MAIN(PlaylistEditorTest)
#include "PlaylistEditorTest.moc"
