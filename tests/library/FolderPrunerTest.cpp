#include "library/FolderPruner.h"
#include "library/LocalPhotos.h"
#include "library/PhotoFolder.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

Album album(qint64 id, const QString& title, std::optional<QString> localPath = std::nullopt)
{
    Album made;
    made.id = id;
    made.title = title;
    made.includeInPaper = true;
    made.localPath = std::move(localPath);
    return made;
}

} // namespace

class FolderPrunerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void pruneStaleFolders_data();
    void pruneStaleFolders();
    void pruneThumbnails_data();
    void pruneThumbnails();
    void removeAppFilesTakesOnlyTheSyncsFiles();

private:
    QString path(const QString& relative) const { return m_dir->path() + u'/' + relative; }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void FolderPrunerTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void FolderPrunerTest::pruneStaleFolders_data()
{
    QTest::addColumn<QString>("item"); // below the temporary folder
    QTest::addColumn<bool>("survives");

    QTest::newRow("sync photo in a stale folder") << u"root/Gone/Sunset-1a2b3c4d.jpg"_s << false;
    QTest::newRow("the user's notes") << u"root/Gone/my-notes.txt"_s << true;
    QTest::newRow("stale folder with the user's notes") << u"root/Gone"_s << true;
    QTest::newRow("stale folder of sync photos only") << u"root/Old"_s << false;
    QTest::newRow("date as id") << u"root/Party/Party-20240131.jpg"_s << true;
    QTest::newRow("upper-case id") << u"root/Party/Party-1A2B3C4D.jpg"_s << true;
    QTest::newRow("14-character sync name") << u"root/Party/x-1a2b3c4d.jpg"_s << false;
    QTest::newRow("user folder named like a sync photo")
        << u"root/Party/Trip-1a2b3c4d.jpg/mine.txt"_s << true;
    QTest::newRow("symbolic link named like a sync photo") << u"root/Party/Link-1a2b3c4d.jpg"_s << false;
    QTest::newRow("the link's target") << u"outside/target.jpg"_s << true;
    QTest::newRow("linked folder in the root") << u"root/Linked"_s << true;
    QTest::newRow("sync name behind a linked folder") << u"outside/Dir/Sunset-1a2b3c4d.jpg"_s << true;
    QTest::newRow("current playlist") << u"root/Kept/Sunset-1a2b3c4d.jpg"_s << true;
    QTest::newRow("parent of a current playlist") << u"root/Trips/Stale-1a2b3c4d.jpg"_s << true;
    QTest::newRow("stray file at the top") << u"root/Stray-1a2b3c4d.jpg"_s << true;
}

void FolderPrunerTest::pruneStaleFolders()
{
    QFETCH(QString, item);
    QFETCH(bool, survives);

    QVERIFY(test::writeFile(path(u"root/Gone/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Gone/my-notes.txt"_s)));
    QVERIFY(test::writeFile(path(u"root/Gone/.DS_Store"_s)));
    QVERIFY(test::writeFile(path(u"root/Old/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Old/Beach-5e6f7a8b.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Old/.DS_Store"_s)));
    QVERIFY(test::writeFile(path(u"root/Party/Party-20240131.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Party/Party-1A2B3C4D.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Party/x-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Party/Trip-1a2b3c4d.jpg/mine.txt"_s)));
    QVERIFY(test::writeFile(path(u"outside/target.jpg"_s)));
    QVERIFY(QFile::link(path(u"outside/target.jpg"_s), path(u"root/Party/Link-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"outside/Dir/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(QFile::link(path(u"outside/Dir"_s), path(u"root/Linked"_s)));
    QVERIFY(test::writeFile(path(u"root/Kept/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Trips/Stale-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Trips/2024/Beach-5e6f7a8b.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Stray-1a2b3c4d.jpg"_s)));

    FolderPruner::pruneStaleFolders(path(u"root"_s), {album(1, u"Kept"_s), album(2, u"Trips/2024"_s)});

    QCOMPARE(test::existsNoFollow(path(item)), survives);
}

void FolderPrunerTest::pruneThumbnails_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<bool>("survives");

    QTest::newRow("preview of a photo in a linked folder") << u"images/Linked/A/640x360.jpg"_s << true;
    QTest::newRow("preview of a photo that left the linked folder") << u"images/Linked/Gone"_s << false;
    QTest::newRow("preview of a photo in a playlist folder") << u"images/Plain/B/640x360.jpg"_s << true;
    QTest::newRow("preview named after a download") << u"images/Plain/Sunset-1a2b3c4d"_s << false;
    QTest::newRow("previews of a deleted playlist") << u"images/Deleted"_s << false;
    QTest::newRow("folder of previews behind a symbolic link") << u"outside/X/640x360.jpg"_s << true;
    QTest::newRow("stale preview folder with a subfolder") << u"images/Plain/Old/sub/keep.txt"_s << true;
    QTest::newRow("its preview") << u"images/Plain/Old/640x360.jpg"_s << false;
}

void FolderPrunerTest::pruneThumbnails()
{
    QFETCH(QString, item);
    QFETCH(bool, survives);

    QVERIFY(test::writeFile(path(u"linked/A.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Plain/B.JPG"_s)));
    QVERIFY(test::writeFile(path(u"root/Plain/Sunset-1a2b3c4d.jpg"_s)));
    for (const QString& preview : {u"Linked/A"_s, u"Linked/Gone"_s, u"Plain/B"_s, u"Plain/Sunset-1a2b3c4d"_s,
                                   u"Deleted/C"_s, u"Plain/Old"_s})
        QVERIFY(test::writeFile(path(u"images/"_s + preview + u"/640x360.jpg"_s)));
    QVERIFY(test::writeFile(path(u"images/Plain/Old/sub/keep.txt"_s)));
    QVERIFY(test::writeFile(path(u"outside/X/640x360.jpg"_s)));
    QVERIFY(QFile::link(path(u"outside"_s), path(u"images/Outside"_s)));

    Defaults defaults(path(u"settings.json"_s));
    LocalPhotos::recordLink(defaults, 1, path(u"linked"_s));
    FolderPruner::pruneThumbnails(path(u"images"_s), path(u"root"_s),
                                  {album(1, u"Linked"_s, path(u"linked"_s)), album(2, u"Plain"_s)}, defaults);

    QCOMPARE(test::existsNoFollow(path(item)), survives);
}

void FolderPrunerTest::removeAppFilesTakesOnlyTheSyncsFiles()
{
    QVERIFY(test::writeFile(path(u"paper/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"paper/IMG_0001.jpg"_s)));
    QVERIFY(test::writeFile(path(u"paper/Sunset-1a2b3c4d.JPG"_s)));
    QVERIFY(test::writeFile(path(u"paper/Folder-1a2b3c4d.jpg/inner.jpg"_s)));

    QCOMPARE(PhotoFolder::removeAppFiles(path(u"paper"_s)), 1);
    QCOMPARE(QDir(path(u"paper"_s)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{u"Folder-1a2b3c4d.jpg"_s, u"IMG_0001.jpg"_s, u"Sunset-1a2b3c4d.JPG"_s}));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::FolderPrunerTest)
#include "FolderPrunerTest.moc"
