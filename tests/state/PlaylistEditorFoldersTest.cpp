#include "library/LocalPhotos.h"
#include "model/DefaultsKeys.h"
#include "platform/Paths.h"
#include "support/TestFiles.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::AppModel;
using lumi::LocalPhotos;
using lumi::Medium;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::writeFile;

namespace {

const QString albumsReload = u"GET /albums?page=1&per_page=500"_s;
const QString forcedSync = u"sync.request(0s,force)"_s;

Medium localPhoto(const QString& path)
{
    const QFileInfo file(path);
    Medium photo;
    photo.uuid = u"local-"_s + file.fileName();
    photo.title = file.completeBaseName();
    photo.localPath = path;
    return photo;
}

// The syncs asked for at once, as file changes do.
QStringList immediateSyncs(const QStringList& calls)
{
    return calls.filter(forcedSync);
}

QString trashed(const QString& name)
{
    return lumi::Paths::dataHome() + u"/Trash/files/"_s + name;
}

} // namespace

class PlaylistEditorFoldersTest final : public QObject
{
    Q_OBJECT

private slots:
    void linkAndUnlink_data();
    void linkAndUnlink();
    void productWordIsRefused_data();
    void productWordIsRefused();
    void pickerAnswerAfterSignOutIsIgnored_data();
    void pickerAnswerAfterSignOutIsIgnored();
    void importFolders_data();
    void importFolders();
    void importSendsThePathTheServerLeftOut_data();
    void importSendsThePathTheServerLeftOut();
    void addLocalPhotos_data();
    void addLocalPhotos();
    void removeLocalPhotoTrashesOnlyPlaylistFiles_data();
    void removeLocalPhotoTrashesOnlyPlaylistFiles();
    void removePhotos_data();
    void removePhotos();
};

void PlaylistEditorFoldersTest::linkAndUnlink_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("chosen"); // below the home; empty: the dialog is cancelled
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QString>("local"); // the path sent; "%1" stands for the home
    QTest::addColumn<bool>("bookmarkKept");

    QTest::newRow("link") << true << u"Pictures/Trip"_s << 0 << u"%1/Pictures/Trip"_s << true;
    QTest::newRow("link refused: bookmark dropped")
        << true << u"Pictures/Trip/"_s << 500 << u"%1/Pictures/Trip"_s << false;
    QTest::newRow("dialog cancelled") << true << QString() << 0 << QString() << true;
    QTest::newRow("unlink") << false << QString() << 0 << QString() << false;
    QTest::newRow("unlink refused: bookmark kept") << false << QString() << 500 << QString() << true;
}

void PlaylistEditorFoldersTest::linkAndUnlink()
{
    QFETCH(bool, link);
    QFETCH(QString, chosen);
    QFETCH(int, failWith);
    QFETCH(QString, local);
    QFETCH(bool, bookmarkKept);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QString home = h.sandbox.homePath();
    QVERIFY(QDir().mkpath(home + u"/Pictures/Trip"_s));
    const QVariantMap bookmarks{{u"103"_s, QByteArray("mark")}, {u"102"_s, QByteArray("other")}};
    h.defaults.setValue(lumi::keys::linkedFolderBookmarks, bookmarks);
    if (!chosen.isEmpty())
        h.pickers.folderAnswer = home + u'/' + chosen;
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(
            QJsonObject{{u"path"_s, u"/api/v6/albums/editor-s-picks"_s}, {u"status"_s, failWith}}));
    const Album picks = h.album(u"editor-s-picks"_s);

    QVERIFY(!runTask(link ? h.playlists().linkFolder(picks) : h.playlists().unlinkFolder(picks)));
    QVERIFY(h.settle());

    if (link) {
        QCOMPARE(h.pickers.folderRequests.size(), 1);
        QCOMPARE(h.pickers.folderRequests[0].message, u"Choose the folder for “Editor's Picks”."_s);
        QCOMPARE(h.pickers.folderRequests[0].acceptLabel, u"Choose"_s);
    } else {
        QVERIFY(h.pickers.folderRequests.isEmpty());
    }
    const bool sent = !link || !chosen.isEmpty();
    const bool succeeded = sent && failWith == 0;
    QStringList expected;
    if (sent)
        expected.append(u"PUT /albums/editor-s-picks"_s);
    if (succeeded)
        expected.append(albumsReload);
    QCOMPARE(h.requestLines(), expected);
    const QString path = local.isEmpty() ? QString() : local.arg(home);
    if (sent) {
        QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)),
                 (QJsonObject{{u"renamed"_s, u"Editor's Picks"_s}, {u"local"_s, path}}));
    }
    QCOMPARE(immediateSyncs(h.journal.calls()).size(), succeeded ? 1 : 0);
    QCOMPARE(model.alert().has_value(), failWith != 0);
    if (succeeded)
        QCOMPARE(h.album(u"editor-s-picks"_s).localPath.value_or(QString()), path);
    // Only a link made here counts on this computer.
    if (succeeded && link)
        QCOMPARE(LocalPhotos::linkedFolder(h.album(u"editor-s-picks"_s), h.defaults), std::optional(path));
    const QVariantMap kept = h.defaults.mapValue(lumi::keys::linkedFolderBookmarks).value_or(QVariantMap());
    QCOMPARE(kept.contains(u"103"_s), bookmarkKept);
    QVERIFY(kept.contains(u"102"_s));
}

void PlaylistEditorFoldersTest::productWordIsRefused_data()
{
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("chosen"); // below the home

    QTest::newRow("link, in capitals") << true << u"Documents/LUMIVALE"_s;
    QTest::newRow("import") << false << u"Pictures/Lumivale Exports"_s;
    QTest::newRow("link through a symbolic link") << true << u"Pictures/Mine"_s;
    QTest::newRow("import through a symbolic link") << false << u"Pictures/Mine"_s;
}

void PlaylistEditorFoldersTest::productWordIsRefused()
{
    QFETCH(bool, link);
    QFETCH(QString, chosen);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QString home = h.sandbox.homePath();
    QVERIFY(QDir().mkpath(home + u"/Documents/LUMIVALE/Sub"_s));
    QVERIFY(QDir().mkpath(home + u"/Pictures/Lumivale Exports/Sub"_s));
    QVERIFY(QDir().mkpath(h.sync.root + u"/Trip/Sub"_s));
    QVERIFY(QDir().mkpath(home + u"/Pictures"_s));
    QVERIFY(QFile::link(h.sync.root + u"/Trip"_s, home + u"/Pictures/Mine"_s));
    h.pickers.folderAnswer = home + u'/' + chosen;

    QVERIFY(!runTask(link ? h.playlists().linkFolder(h.album(u"editor-s-picks"_s))
                          : h.playlists().importFolders()));
    QVERIFY(h.settle());

    QCOMPARE(model.alert(), std::optional<QString>(u"The folder's path can't contain “Lumivale”."_s));
    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(immediateSyncs(h.journal.calls()), QStringList());
    QCOMPARE(h.guidance().notice(), std::nullopt);
}

void PlaylistEditorFoldersTest::pickerAnswerAfterSignOutIsIgnored_data()
{
    QTest::addColumn<QString>("operation");

    QTest::newRow("link") << u"link"_s;
    QTest::newRow("import") << u"import"_s;
    QTest::newRow("add photos") << u"add"_s;
}

void PlaylistEditorFoldersTest::pickerAnswerAfterSignOutIsIgnored()
{
    QFETCH(QString, operation);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QString home = h.sandbox.homePath();
    QVERIFY(QDir().mkpath(home + u"/Pictures/Trips/Alps"_s));
    QVERIFY(writeFile(home + u"/Pictures/one.jpg"_s));
    h.pickers.folderAnswer = home + u"/Pictures/Trips"_s;
    h.pickers.filesAnswer = QStringList{home + u"/Pictures/one.jpg"_s};
    // The user signs out from the tray while the dialog is up.
    h.pickers.whileOpen = [&model] { model.signOut(); };
    const Album picks = h.album(u"editor-s-picks"_s);

    if (operation == u"link")
        QVERIFY(!runTask(h.playlists().linkFolder(picks)));
    else if (operation == u"import")
        QVERIFY(!runTask(h.playlists().importFolders()));
    else
        QVERIFY(!runTask(h.playlists().addLocalPhotos(picks)));
    QVERIFY(h.settle());

    QCOMPARE(model.phase(), AppModel::Phase::signedOut);
    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(immediateSyncs(h.journal.calls()), QStringList());
    QCOMPARE(h.guidance().notice(), std::nullopt);
    QVERIFY(!QFileInfo::exists(h.sync.root + u"/Editor's Picks"_s));
}

void PlaylistEditorFoldersTest::importFolders_data()
{
    QTest::addColumn<QStringList>("entries"); // "d:" folder, "f:" file, "l:" link to a folder elsewhere
    QTest::addColumn<QStringList>("playlists");
    QTest::addColumn<QString>("notice");

    QTest::newRow("numbers by value, case ignored")
        << QStringList{u"d:Trip 10"_s, u"d:trip 2"_s, u"d:Alps"_s}
        << QStringList{u"Alps"_s, u"trip 2"_s, u"Trip 10"_s} << u"Imported 3 playlists"_s;
    QTest::newRow("names filtered and trimmed") << QStringList{u"d:!!!"_s, u"d:  Summer 2024! "_s}
                                                << QStringList{u"Summer 2024"_s} << u"Imported 1 playlist"_s;
    QTest::newRow("only visible, real folders")
        << QStringList{u"d:.hidden"_s, u"f:notes.txt"_s, u"l:Linked"_s, u"d:Real"_s,
                       u"d:My Lumivale Backup"_s}
        << QStringList{u"Real"_s} << u"Imported 1 playlist"_s;
    QTest::newRow("no subfolders") << QStringList{u"f:photo.jpg"_s} << QStringList()
                                   << u"Imported 0 playlists"_s;
}

void PlaylistEditorFoldersTest::importFolders()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, playlists);
    QFETCH(QString, notice);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QString parent = h.sandbox.homePath() + u"/Pictures/Trips"_s;
    QVERIFY(QDir().mkpath(h.sandbox.homePath() + u"/Elsewhere"_s));
    QVERIFY(QDir().mkpath(parent));
    for (const QString& entry : std::as_const(entries)) {
        const QString path = parent + u'/' + entry.mid(2);
        if (entry.startsWith(u"d:"_s))
            QVERIFY(QDir().mkpath(path));
        else if (entry.startsWith(u"f:"_s))
            QVERIFY(writeFile(path));
        else
            QVERIFY(QFile::link(h.sandbox.homePath() + u"/Elsewhere"_s, path));
    }
    h.pickers.folderAnswer = parent;

    QVERIFY(!runTask(h.playlists().importFolders()));
    QVERIFY(h.settle());

    QCOMPARE(h.pickers.folderRequests.value(0).message,
             u"Each folder inside the one you choose becomes a playlist linked to it."_s);
    QStringList created;
    for (const QJsonValue& request : h.apiRequests()) {
        if (request[u"method"_s] != u"POST"_s)
            continue;
        const QJsonObject body = ModelHarness::bodyOf(request);
        created.append(body[u"playlist"_s].toString());
        QCOMPARE(QFileInfo(body[u"local"_s].toString()).dir().path(), parent);
    }
    QCOMPARE(created, playlists);
    // The server kept each path, so no update follows a creation.
    QCOMPARE(h.requestLines().filter(u"PUT "_s), QStringList());
    QCOMPARE(h.requestLines().last(), albumsReload);
    QCOMPARE(immediateSyncs(h.journal.calls()).size(), 1);
    QCOMPARE(h.guidance().notice(), std::optional<QString>(notice));
    for (const QString& name : std::as_const(playlists)) {
        bool linked = false;
        for (const Album& album : model.account().albums())
            linked = linked ||
                     (album.title == name &&
                      LocalPhotos::linkedFolder(album, h.defaults).value_or(QString()).startsWith(parent));
        QVERIFY2(linked, qPrintable(name));
    }
}

void PlaylistEditorFoldersTest::importSendsThePathTheServerLeftOut_data()
{
    QTest::addColumn<bool>("playlistExists");
    QTest::addColumn<QString>("notice");

    QTest::newRow("update accepted") << true << u"Imported 1 playlist"_s;
    QTest::newRow("update refused: logged, not counted") << false << u"Imported 0 playlists"_s;
}

void PlaylistEditorFoldersTest::importSendsThePathTheServerLeftOut()
{
    QFETCH(bool, playlistExists);
    QFETCH(QString, notice);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const QString parent = h.sandbox.homePath() + u"/Pictures/Trips"_s;
    QVERIFY(QDir().mkpath(parent + u"/Alps"_s));
    if (playlistExists)
        QCOMPARE(
            h.sandbox
                .call("POST", u"albums"_s, *model.sessionToken(), QJsonObject{{u"playlist"_s, u"Alps"_s}})
                .status,
            200);
    h.sandbox.clearRequests();
    // The creation's answer comes without the folder's path.
    const QJsonObject answer{{u"id"_s, 300}, {u"title"_s, u"Alps"_s}, {u"title_fragment"_s, u"alps"_s}};
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"method"_s, u"POST"_s},
                                           {u"path"_s, u"/api/v6/albums"_s},
                                           {u"status"_s, 200},
                                           {u"body"_s, QString::fromUtf8(QJsonDocument(answer).toJson())},
                                           {u"times"_s, 1}}));
    h.pickers.folderAnswer = parent;

    QVERIFY(!runTask(h.playlists().importFolders()));
    QVERIFY(h.settle());

    QCOMPARE(h.requestLines(), (QStringList{u"POST /albums"_s, u"PUT /albums/alps"_s, albumsReload}));
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(1)),
             (QJsonObject{{u"renamed"_s, u"Alps"_s}, {u"local"_s, parent + u"/Alps"_s}}));
    QCOMPARE(h.guidance().notice(), std::optional<QString>(notice));
    QCOMPARE(model.alert(), std::nullopt);
    QCOMPARE(h.appLogLines().filter(u"import Alps: "_s).size(), playlistExists ? 0 : 1);
}

void PlaylistEditorFoldersTest::addLocalPhotos_data()
{
    QTest::addColumn<QStringList>("chosen");   // below ~/Pictures; missing files fail to copy
    QTest::addColumn<QStringList>("present");  // already in the playlist folder
    QTest::addColumn<QStringList>("expected"); // in the playlist folder afterwards
    QTest::addColumn<QString>("notice");

    QTest::newRow("one photo") << QStringList{u"beach.jpg"_s} << QStringList() << QStringList{u"beach.jpg"_s}
                               << u"Added 1 photo"_s;
    QTest::newRow("taken names and sync-like names")
        << QStringList{u"beach.jpg"_s, u"dunes.jpeg"_s, u"sunset-abcd1234.jpg"_s}
        << QStringList{u"beach.jpg"_s}
        << QStringList{u"beach 2.jpg"_s, u"beach.jpg"_s, u"dunes.jpg"_s, u"sunset-abcd1234x.jpg"_s}
        << u"Added 3 photos"_s;
    QTest::newRow("every copy fails")
        << QStringList{u"gone.jpg"_s} << QStringList() << QStringList() << u"Added 0 photos"_s;
}

void PlaylistEditorFoldersTest::addLocalPhotos()
{
    QFETCH(QStringList, chosen);
    QFETCH(QStringList, present);
    QFETCH(QStringList, expected);
    QFETCH(QString, notice);

    ModelHarness h;
    h.launchSignedIn();
    const QString pictures = h.sandbox.homePath() + u"/Pictures/"_s;
    const QString folder = h.sync.root + u"/Editor's Picks/"_s;
    for (const QString& name : std::as_const(chosen)) {
        h.pickers.filesAnswer.append(pictures + name);
        if (name != u"gone.jpg")
            QVERIFY(writeFile(pictures + name, name.toUtf8()));
    }
    for (const QString& name : std::as_const(present))
        QVERIFY(writeFile(folder + name, QByteArrayLiteral("mine")));

    QVERIFY(!runTask(h.playlists().addLocalPhotos(h.album(u"editor-s-picks"_s))));
    QVERIFY(h.settle());

    QCOMPARE(h.pickers.filesRequests.value(0).acceptLabel, u"Add"_s);
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
    for (const QString& name : std::as_const(present))
        QCOMPARE(lumi::test::contentOf(folder + name), QByteArrayLiteral("mine"));
    QCOMPARE(h.guidance().notice(), std::optional<QString>(notice));
    QCOMPARE(immediateSyncs(h.journal.calls()).size(), 1);
    // Nothing about local files goes to the server.
    QCOMPARE(h.requestLines(), QStringList());
}

void PlaylistEditorFoldersTest::removeLocalPhotoTrashesOnlyPlaylistFiles_data()
{
    QTest::addColumn<QString>("given"); // the photo's local path; "%r" the playlist root, "%h" the home
    QTest::addColumn<QString>("file");  // the file that must stay or go
    QTest::addColumn<bool>("removed");

    QTest::newRow("photo of a playlist folder")
        << u"%r/Trip/IMG_0001.jpg"_s << u"%r/Trip/IMG_0001.jpg"_s << true;
    QTest::newRow("a ../ path out of the root")
        << u"%r/Trip/../../../Pictures/mine.jpg"_s << u"%h/Pictures/mine.jpg"_s << false;
    QTest::newRow("a symbolic link pointing out")
        << u"%r/Trip/link.jpg"_s << u"%h/Pictures/mine.jpg"_s << false;
    QTest::newRow("a folder named like a photo")
        << u"%r/Trip/Folder.jpg"_s << u"%r/Trip/Folder.jpg"_s << false;
    QTest::newRow("a linked folder inside the root")
        << u"%r/Linked/mine.jpg"_s << u"%h/Pictures/mine.jpg"_s << false;
    QTest::newRow("a file of a linked folder")
        << u"%h/Pictures/mine.jpg"_s << u"%h/Pictures/mine.jpg"_s << false;
}

void PlaylistEditorFoldersTest::removeLocalPhotoTrashesOnlyPlaylistFiles()
{
    QFETCH(QString, given);
    QFETCH(QString, file);
    QFETCH(bool, removed);

    ModelHarness h;
    h.launchSignedIn();
    const QString root = h.sync.root;
    const QString home = h.sandbox.homePath();
    QVERIFY(writeFile(root + u"/Trip/IMG_0001.jpg"_s));
    QVERIFY(writeFile(home + u"/Pictures/mine.jpg"_s));
    QVERIFY(QDir().mkpath(root + u"/Trip/Folder.jpg"_s));
    QVERIFY(QFile::link(home + u"/Pictures/mine.jpg"_s, root + u"/Trip/link.jpg"_s));
    QVERIFY(QFile::link(home + u"/Pictures"_s, root + u"/Linked"_s));
    const auto expand = [&](QString path) { return path.replace(u"%r"_s, root).replace(u"%h"_s, home); };

    const Medium photo = localPhoto(expand(given));
    QCOMPARE(h.playlists().removeLocalPhoto(photo), removed);

    QCOMPARE(QFileInfo::exists(expand(file)), !removed);
    QCOMPARE(QFileInfo::exists(trashed(QFileInfo(expand(file)).fileName())), removed);
    QCOMPARE(immediateSyncs(h.journal.calls()).size(), removed ? 1 : 0);
    QVERIFY(!h.playlists().removeLocalPhoto(Medium{.uuid = u"catalog"_s}));
}

void PlaylistEditorFoldersTest::removePhotos_data()
{
    QTest::addColumn<bool>("linked");
    QTest::addColumn<bool>("catalogRefused");
    QTest::addColumn<QStringList>("removed"); // "catalog", "own", "other"

    QTest::newRow("playlist with its own folder") << false << false << QStringList{u"catalog"_s, u"own"_s};
    QTest::newRow("linked playlist: folder photos stay") << true << false << QStringList{u"catalog"_s};
    QTest::newRow("refused catalog removal ends the batch") << false << true << QStringList();
}

void PlaylistEditorFoldersTest::removePhotos()
{
    QFETCH(bool, linked);
    QFETCH(bool, catalogRefused);
    QFETCH(QStringList, removed);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    Album picks = h.album(u"editor-s-picks"_s);
    const QString own = h.sync.root + u"/Editor's Picks/own.jpg"_s;
    const QString other = h.sync.root + u"/Mountain Mornings/other.jpg"_s;
    QVERIFY(writeFile(own));
    QVERIFY(writeFile(other));
    if (linked)
        picks.localPath = h.sync.root + u"/Editor's Picks"_s;
    const Medium catalog = Medium{
        .uuid = h.sandbox.call("GET", u"media/playlists/editor-s-picks?per_page=1"_s, *model.sessionToken())
                    .json()[u"media"_s][0][u"uuid"_s]
                    .toString()};
    h.sandbox.clearRequests();
    if (catalogRefused)
        QVERIFY(h.sandbox.addFault(
            QJsonObject{{u"method"_s, u"DELETE"_s}, {u"path"_s, u"/api/v6/albums"_s}, {u"status"_s, 500}}));
    const QMap<QString, Medium> photos{
        {u"catalog"_s, catalog}, {u"own"_s, localPhoto(own)}, {u"other"_s, localPhoto(other)}};

    std::optional<QList<Medium>> result;
    QVERIFY(!runTask(
        h.playlists().removePhotos(QList<Medium>{catalog, localPhoto(own), localPhoto(other)}, picks),
        result));
    QVERIFY(h.settle());

    QList<Medium> expected;
    for (const QString& key : std::as_const(removed))
        expected.append(photos[key]);
    QCOMPARE(*result, expected);
    QStringList requests{u"DELETE /albums?playlist=Editor%27s%20Picks&uuid="_s + catalog.uuid};
    if (!removed.isEmpty())
        requests.append(albumsReload);
    QCOMPARE(h.requestLines(), requests);
    QCOMPARE(QFileInfo::exists(own), !removed.contains(u"own"_s));
    // Another playlist's file is never this playlist's to trash.
    QVERIFY(QFileInfo::exists(other));
    QCOMPARE(model.alert().has_value(), catalogRefused);
}

QTEST_MAIN(PlaylistEditorFoldersTest)
#include "PlaylistEditorFoldersTest.moc"
