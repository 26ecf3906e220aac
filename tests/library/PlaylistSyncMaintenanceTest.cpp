#include "library/FileIdentity.h"
#include "library/LocalPhotos.h"
#include "library/PhotoFileNames.h"
#include "library/PlaylistSync.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/Paths.h"
#include "support/AccountEdits.h"
#include "support/TestFiles.h"
#include "support/library/SyncHarness.h"

#include <QDir>
#include <QImageReader>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

class PlaylistSyncMaintenanceTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void resizeDeletesOnlyTheSyncsDownloadsThenFetchesAgain();
    void clearEmptiesThePoolsAndLinksAgainWithoutDownloads();

private:
    /// Mountain Mornings in its own folder for the wallpaper, Editor's Picks linked to a folder of
    /// the user's for the saver, each folder with files of the user's, synced once.
    void prepareLibrary(QSize display);
    QString mountains() const
    {
        return m_harness->photoDirectory + u"/Lumivale Playlist/Mountain Mornings"_s;
    }
    QString linked() const { return m_harness->home.path() + u"/Pictures/Picks"_s; }
    static QStringList appFiles(const QString& folder);

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
    QStringList m_userFilesOfMountains{u"Sunrise.jpg"_s, u"Sunset-0a1b2c3d.JPG"_s};
    QStringList m_userFilesOfPicks{u"Holiday.jpg"_s, u"Mine-1a2b3c4d.jpg"_s};
};

void PlaylistSyncMaintenanceTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void PlaylistSyncMaintenanceTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
}

void PlaylistSyncMaintenanceTest::cleanup()
{
    m_harness.reset();
}

QStringList PlaylistSyncMaintenanceTest::appFiles(const QString& folder)
{
    QStringList names = test::SyncHarness::photoNames(folder);
    names.removeIf([](const QString& name) { return !PhotoFileNames::isAppFileName(name); });
    return names;
}

void PlaylistSyncMaintenanceTest::prepareLibrary(QSize display)
{
    test::SyncHarness& h = *m_harness;
    h.setDisplay(display);
    for (const QString& name : std::as_const(m_userFilesOfMountains))
        QVERIFY(test::SyncHarness::writeJpeg(mountains() + u'/' + name, QSize(600, 800)));
    for (const QString& name : std::as_const(m_userFilesOfPicks))
        QVERIFY(test::SyncHarness::writeJpeg(linked() + u'/' + name, QSize(800, 600)));
    LocalPhotos::recordLink(Defaults::shared(), 103, linked());
    test::editAlbum(h.account, 103, [&](Album& album) { album.localPath = linked(); });
    QVERIFY(h.runPass());
    QCOMPARE(appFiles(mountains()).size(), 24);
    QCOMPARE(appFiles(linked()).size(), 20 + 1);
    QCOMPARE(test::SyncHarness::photoNames(h.sync().paperDir()).size(), 24 + 2);
    // Downloads and rendered photos of the user's, but not the file named like a download.
    QCOMPARE(test::SyncHarness::photoNames(h.sync().saverDir()).size(), 20 + 1);
    h.sandbox.clearRequests();
    h.forgetLog();
}

void PlaylistSyncMaintenanceTest::resizeDeletesOnlyTheSyncsDownloadsThenFetchesAgain()
{
    // Photos fetched for a larger display that has gone since.
    prepareLibrary(QSize(2560, 1440));
    if (QTest::currentTestFailed())
        return;
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    const QStringList pool = test::SyncHarness::photoNames(sync.paperDir());
    h.setDisplay(QSize(1280, 1024));

    sync.resizePhotos();

    // Deleted before the call returns, so the settings window can show the result at once.
    QCOMPARE(test::SyncHarness::photoNames(mountains()), m_userFilesOfMountains);
    QCOMPARE(test::SyncHarness::photoNames(linked()), m_userFilesOfPicks);
    QCOMPARE(appFiles(sync.paperDir()), QStringList());
    QCOMPARE(appFiles(sync.saverDir()), QStringList());
    QVERIFY(!Defaults::shared().contains(keys::syncState));
    QCOMPARE(sync.paperIndex().size(), 0);
    QCOMPARE(h.poolResets, 2);
    QCOMPARE(h.syncLines().first(), u"resize photos: downloads deleted, syncing again"_s);

    // Everything comes again at the size of the display there is now.
    QVERIFY(h.finish());
    QCOMPARE(h.cdnRequests().size(), 44);
    QCOMPARE(h.cdnRequests().filter(u"/1280x1024c1.jpg"_s).size(), 44);
    QCOMPARE(Defaults::shared().stringValue(keys::syncFormat), u"1280x1024"_s);
    QCOMPARE(appFiles(mountains()).size(), 24);
    QCOMPARE(appFiles(linked()).size(), 20 + 1);
    QCOMPARE(QImageReader(mountains() + u'/' + appFiles(mountains()).first()).size(), QSize(1280, 1024));
    QCOMPARE(test::SyncHarness::photoNames(sync.paperDir()), pool);
    QCOMPARE(h.syncLines().last(),
             u"synced 2 playlists: 44 photos, 44 downloaded, 0 failed, 24 in wallpaper, 20 in saver"_s);
}

void PlaylistSyncMaintenanceTest::clearEmptiesThePoolsAndLinksAgainWithoutDownloads()
{
    prepareLibrary(QSize(1280, 1024));
    if (QTest::currentTestFailed())
        return;
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    const QStringList paper = test::SyncHarness::photoNames(sync.paperDir());
    const QStringList saver = test::SyncHarness::photoNames(sync.saverDir());
    QVERIFY(test::SyncHarness::writeJpeg(sync.paperDir() + u"/Stray.jpg"_s, QSize(64, 64)));
    const QString variants = Paths::appDataFolder() + u"/Wallpapers/Photos"_s;
    QVERIFY(test::writeFile(variants + u"/1a2b3c4d-2560x1440.jpg"_s));

    sync.clearFiles();

    QCOMPARE(test::SyncHarness::photoNames(sync.paperDir()), QStringList());
    QCOMPARE(test::SyncHarness::photoNames(sync.saverDir()), QStringList());
    QCOMPARE(test::SyncHarness::photoNames(variants), QStringList());
    QCOMPARE(sync.paperIndex().size(), 0);
    QCOMPARE(sync.saverIndex().size(), 0);
    QCOMPARE(test::SyncHarness::photoNames(mountains()).size(), 24 + 2);
    QCOMPARE(h.syncLines().first(), u"clear files: wallpaper and saver folders emptied, re-linking"_s);

    QVERIFY(h.finish());
    QCOMPARE(h.cdnRequests(), QStringList());
    QCOMPARE(test::SyncHarness::photoNames(sync.paperDir()), paper);
    QCOMPARE(test::SyncHarness::photoNames(sync.saverDir()), saver);
    for (const QString& name : appFiles(mountains())) {
        QCOMPARE(FileIdentity::of(sync.paperDir() + u'/' + name),
                 FileIdentity::of(mountains() + u'/' + name));
    }
    QCOMPARE(QImageReader(sync.paperDir() + u"/Sunrise.jpg"_s).size(), QSize(1280, 1024));
    QCOMPARE(h.syncLines().last(),
             u"synced 2 playlists: 44 photos, 0 downloaded, 0 failed, 24 in wallpaper, 20 in saver"_s);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistSyncMaintenanceTest)
#include "PlaylistSyncMaintenanceTest.moc"
