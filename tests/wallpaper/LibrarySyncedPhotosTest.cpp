#include "wallpaper/LibrarySyncedPhotos.h"

#include "library/PlaylistSync.h"
#include "model/Defaults.h"
#include "support/AccountEdits.h"
#include "support/library/SyncHarness.h"

#include <QFile>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// "<title>-<short id>.jpg" to the short id.
QString shortIdOf(const QString& name)
{
    return name.mid(name.size() - 12, 8);
}

} // namespace

/// Synced photos are looked up in the sync's own indexes: real passes against the sandbox in a
/// temporary home, with the demo account (Mountain Mornings for the wallpaper, Editor's Picks for
/// the screen saver).
class LibrarySyncedPhotosTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void findsWhatTheSyncPlaced_data();
    void findsWhatTheSyncPlaced();
    void findsPhotosPlacedDuringAPass();

private:
    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
};

void LibrarySyncedPhotosTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void LibrarySyncedPhotosTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
}

void LibrarySyncedPhotosTest::cleanup()
{
    m_harness.reset();
}

void LibrarySyncedPhotosTest::findsWhatTheSyncPlaced_data()
{
    QTest::addColumn<QString>("playlist"); // whose first listed photo is looked up; none: no playlist's
    QTest::addColumn<QString>("after");    // what happens after the first pass
    QTest::addColumn<QString>("expected"); // "paper", "saver" or "none"

    QTest::newRow("a wallpaper photo") << u"mountain-mornings"_s << QString() << u"paper"_s;
    QTest::newRow("a screen saver photo") << u"editor-s-picks"_s << QString() << u"saver"_s;
    QTest::newRow("the id in capitals") << u"mountain-mornings"_s << u"capitals"_s << u"paper"_s;
    QTest::newRow("deleted behind the sync's back") << u"mountain-mornings"_s << u"delete"_s << u"none"_s;
    QTest::newRow("pruned by the next pass") << u"mountain-mornings"_s << u"unmark"_s << u"none"_s;
    QTest::newRow("the wallpaper copy gone, the saver's stays")
        << u"mountain-mornings"_s << u"saver and delete"_s << u"saver"_s;
    QTest::newRow("a photo never synced") << QString() << QString() << u"none"_s;
}

void LibrarySyncedPhotosTest::findsWhatTheSyncPlaced()
{
    QFETCH(QString, playlist);
    QFETCH(QString, after);
    QFETCH(QString, expected);

    test::SyncHarness& h = *m_harness;
    const QString name =
        playlist.isEmpty() ? u"Nowhere-ffffffff.jpg"_s : h.listedNames(playlist, false).value(0);
    QVERIFY(!name.isEmpty());
    if (after == u"saver and delete")
        test::editAlbum(h.account, 102, [](Album& album) { album.includeInSaver = true; });
    PlaylistSync& sync = h.sync();
    const LibrarySyncedPhotos synced(h.photoDirectory, sync, Defaults::shared());
    QVERIFY(h.runPass());

    QString id = shortIdOf(name);
    if (after == u"capitals")
        id = id.toUpper();
    if (after.endsWith(u"delete"))
        QVERIFY(QFile::remove(sync.paperDir() + u'/' + name));
    if (after == u"unmark") {
        test::editAlbum(h.account, 102, [](Album& album) { album.includeInPaper = false; });
        QVERIFY(h.runPass());
    }

    const std::optional<QString> file = synced.syncedFile(id);
    if (expected == u"none") {
        QCOMPARE(file, std::nullopt);
        return;
    }
    QCOMPARE(file, (expected == u"paper" ? sync.paperDir() : sync.saverDir()) + u'/' + name);
    QVERIFY(QFile::exists(*file));
}

void LibrarySyncedPhotosTest::findsPhotosPlacedDuringAPass()
{
    test::SyncHarness& h = *m_harness;
    const QStringList names = h.listedNames(u"mountain-mornings"_s, false);
    QVERIFY(names.size() > 2);
    PlaylistSync& sync = h.sync();
    const LibrarySyncedPhotos synced(h.photoDirectory, sync, Defaults::shared());

    // When the third photo has been fetched, the first two are in the wallpaper folder already.
    QStringList found;
    QObject::connect(&sync, &PlaylistSync::doneChanged, &sync, [&] {
        if (sync.done() != 3)
            return;
        for (const QString& name : names.first(2))
            found.append(synced.syncedFile(shortIdOf(name)).value_or(QString()));
    });
    QVERIFY(h.runPass());
    QCOMPARE(found, (QStringList{sync.paperDir() + u'/' + names[0], sync.paperDir() + u'/' + names[1]}));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::LibrarySyncedPhotosTest)
#include "LibrarySyncedPhotosTest.moc"
