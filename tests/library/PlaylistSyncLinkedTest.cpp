#include "library/FileIdentity.h"
#include "library/LocalPhotos.h"
#include "library/PlaylistSync.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/AccountEdits.h"
#include "support/TestFiles.h"
#include "support/library/SyncHarness.h"

#include <QDir>
#include <QImageReader>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

class PlaylistSyncLinkedTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void linkedFolderKeepsTheUsersFiles_data();
    void linkedFolderKeepsTheUsersFiles();
    void folderNamedOnlyByTheServiceIsNeverTouched();

private:
    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
};

void PlaylistSyncLinkedTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void PlaylistSyncLinkedTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
}

void PlaylistSyncLinkedTest::cleanup()
{
    m_harness.reset();
}

void PlaylistSyncLinkedTest::linkedFolderKeepsTheUsersFiles_data()
{
    QTest::addColumn<QString>("albumSuffix");
    QTest::addColumn<QString>("olderKeySuffix");

    QTest::newRow("older record keyed with a slash") << QString() << u"/"_s;
    QTest::newRow("older record keyed without") << QString() << QString();
    QTest::newRow("album path with a slash") << u"/"_s << QString();
}

void PlaylistSyncLinkedTest::linkedFolderKeepsTheUsersFiles()
{
    QFETCH(QString, albumSuffix);
    QFETCH(QString, olderKeySuffix);
    test::SyncHarness& h = *m_harness;
    const QString linked = h.home.path() + u"/Pictures/Trips"_s;
    QVERIFY(test::SyncHarness::writeJpeg(linked + u"/Holiday.jpg"_s, QSize(800, 600)));
    // The user's own file, named as the sync would name a download.
    QVERIFY(test::SyncHarness::writeJpeg(linked + u"/Mine-1a2b3c4d.jpg"_s, QSize(64, 64)));
    // A download of the older app that the playlist no longer lists.
    QVERIFY(test::writeFile(linked + u"/Old-9z8y7x6w.jpg"_s, QByteArray(70'000, 'x')));
    Defaults::shared().setValue(keys::electronLinkedDownloads,
                                QVariantMap{{linked + olderKeySuffix, QVariantList{u"Old-9z8y7x6w.jpg"_s}}});
    LocalPhotos::recordLink(Defaults::shared(), 102, linked);
    test::editAlbum(h.account, 102, [&](Album& album) { album.localPath = linked + albumSuffix; });
    const QStringList listed = h.listedNames(u"mountain-mornings"_s);
    PlaylistSync& sync = h.sync();

    QVERIFY(h.runPass());

    QCOMPARE(test::SyncHarness::photoNames(linked),
             test::SyncHarness::sorted(listed + QStringList{u"Holiday.jpg"_s, u"Mine-1a2b3c4d.jpg"_s}));
    QVERIFY(!QDir(h.photoDirectory + u"/Lumivale Playlist/Mountain Mornings"_s).exists());
    QCOMPARE(Defaults::shared().mapValue(keys::syncLinkedDownloads),
             (QVariantMap{{u"102"_s, QVariantList(listed.cbegin(), listed.cend())}}));
    QVERIFY(!Defaults::shared().contains(keys::electronLinkedDownloads));

    // Downloads are linked; the user's photo is drawn at the pass's size.
    QCOMPARE(test::SyncHarness::photoNames(sync.paperDir()),
             test::SyncHarness::sorted(listed + QStringList{u"Holiday.jpg"_s}));
    QCOMPARE(FileIdentity::of(sync.paperDir() + u'/' + listed.first()),
             FileIdentity::of(linked + u'/' + listed.first()));
    QVERIFY(FileIdentity::of(sync.paperDir() + u"/Holiday.jpg"_s) !=
            FileIdentity::of(linked + u"/Holiday.jpg"_s));
    QCOMPARE(QImageReader(sync.paperDir() + u"/Holiday.jpg"_s).size(), QSize(1280, 1024));
    QCOMPARE(QImageReader(sync.imagesDir() + u"/Mountain Mornings/Holiday/640x360.jpg"_s).size(),
             QSize(640, 360));
    QCOMPARE(Defaults::shared().stringValue(keys::syncLocalLook), u"1280x1024|adapt"_s);
    QCOMPARE(test::SyncHarness::photoNames(sync.saverDir()).size(), 20);

    // The user's photos count in the state: touching one makes the next pass run again.
    h.forgetLog();
    QVERIFY(h.runPass());
    QCOMPARE(h.syncLines(), QStringList());
    QFile holiday(linked + u"/Holiday.jpg"_s);
    QVERIFY(holiday.open(QIODevice::ReadWrite));
    QVERIFY(
        holiday.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60), QFileDevice::FileModificationTime));
    holiday.close();
    QVERIFY(h.runPass());
    QCOMPARE(h.syncLines().size(), 2);
    QCOMPARE(test::SyncHarness::photoNames(linked).size(), listed.size() + 2);
}

void PlaylistSyncLinkedTest::folderNamedOnlyByTheServiceIsNeverTouched()
{
    test::SyncHarness& h = *m_harness;
    // Another computer's link, or a hostile answer: an existing folder this computer never linked.
    const QString named = h.home.path() + u"/Documents"_s;
    QVERIFY(test::SyncHarness::writeJpeg(named + u"/Letter.jpg"_s, QSize(800, 600)));
    test::editAlbum(h.account, 102, [&](Album& album) { album.localPath = named; });
    const QStringList listed = h.listedNames(u"mountain-mornings"_s);

    QVERIFY(h.runPass());

    QCOMPARE(test::SyncHarness::photoNames(named), QStringList{u"Letter.jpg"_s});
    QCOMPARE(test::SyncHarness::photoNames(h.photoDirectory + u"/Lumivale Playlist/Mountain Mornings"_s),
             test::SyncHarness::sorted(listed));
    QVERIFY(!test::SyncHarness::photoNames(h.sync().paperDir()).contains(u"Letter.jpg"_s));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistSyncLinkedTest)
#include "PlaylistSyncLinkedTest.moc"
