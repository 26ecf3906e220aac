#include "library/PlaylistFolders.h"
#include "library/PhotoFolder.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QString>)

using namespace Qt::StringLiterals;

namespace lumi {

class PlaylistFoldersTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void childFolder_data();
    void childFolder();
    void indexFolder();
    void photoFilesNeverIncludeFolders();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_root;
};

void PlaylistFoldersTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_root = m_dir->path() + u"/root"_s;
    QVERIFY(QDir().mkpath(m_root + u"/Inside"_s));
    QVERIFY(QDir().mkpath(m_dir->path() + u"/outside"_s));
    QVERIFY(QFile::link(m_dir->path() + u"/outside"_s, m_root + u"/Out"_s));
    QVERIFY(QFile::link(m_root + u"/Inside"_s, m_root + u"/Alias"_s));
    QVERIFY(QFile::link(m_dir->path() + u"/nowhere"_s, m_root + u"/Dangling"_s));
}

void PlaylistFoldersTest::childFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<QString>>("expected"); // relative to the root

    QTest::newRow("plain title") << u"Beaches"_s << std::optional(u"Beaches"_s);
    QTest::newRow("slash makes nested folders") << u"Trips/2024"_s << std::optional(u"Trips/2024"_s);
    QTest::newRow("dot components resolve") << u"Trips/./2024/"_s << std::optional(u"Trips/2024"_s);
    QTest::newRow("empty") << QString() << std::optional<QString>();
    QTest::newRow("two dots") << u".."_s << std::optional<QString>();
    QTest::newRow("one dot is the root itself") << u"."_s << std::optional<QString>();
    QTest::newRow("two dots and a slash") << u"../elsewhere"_s << std::optional<QString>();
    QTest::newRow("back out and in again stays inside") << u"a/../b"_s << std::optional(u"b"_s);
    QTest::newRow("U+0000") << u"Bad\u0000Title"_s << std::optional<QString>();
    QTest::newRow("component of 255 bytes") << QString(255, u'a') << std::optional(QString(255, u'a'));
    QTest::newRow("component of 256 bytes") << QString(256, u'a') << std::optional<QString>();
    QTest::newRow("128 two-byte characters") << QString(128, u'\u00e9') << std::optional<QString>();
    QTest::newRow("symbolic link out of the root") << u"Out"_s << std::optional<QString>();
    QTest::newRow("below a link out of the root") << u"Out/Sub"_s << std::optional<QString>();
    QTest::newRow("symbolic link within the root") << u"Alias/Sub"_s << std::optional(u"Alias/Sub"_s);
    QTest::newRow("dangling symbolic link") << u"Dangling"_s << std::optional<QString>();
}

void PlaylistFoldersTest::childFolder()
{
    QFETCH(QString, name);
    QFETCH(std::optional<QString>, expected);

    const std::optional<QString> folder = PlaylistFolders::childFolder(m_root + u'/', name);
    QCOMPARE(folder, expected ? std::optional(m_root + u'/' + *expected) : std::nullopt);
}

void PlaylistFoldersTest::indexFolder()
{
    const QString folder = m_root + u"/Wallpaper"_s;
    QVERIFY(test::writeFile(folder + u"/Beach-1a2b3c4d.jpg"_s));
    // Listed first by name: the later file wins.
    QVERIFY(test::writeFile(folder + u"/Beach copy-1A2B3C4D.jpg"_s));
    QVERIFY(test::writeFile(folder + u"/abc-5e6f7a8b.jpeg"_s));
    QVERIFY(test::writeFile(folder + u"/Trip-20240131.JPG"_s));
    QVERIFY(test::writeFile(folder + u"/x1a2b3c4d.jpg"_s));
    QVERIFY(test::writeFile(folder + u"/1a2b3c4d.jpg"_s));
    QVERIFY(test::writeFile(folder + u"/notes-9a9a9a9a.txt"_s));
    QVERIFY(QDir().mkpath(folder + u"/Folder-77777777.jpg"_s));

    const QHash<QString, QString> index = PhotoFolder::indexFolder(folder);
    const QHash<QString, QString> expected{
        {u"1a2b3c4d"_s, folder + u"/Beach-1a2b3c4d.jpg"_s},
        {u"5e6f7a8b"_s, folder + u"/abc-5e6f7a8b.jpeg"_s},
        {u"20240131"_s, folder + u"/Trip-20240131.JPG"_s},
    };
    QCOMPARE(index, expected);
    QVERIFY(PhotoFolder::indexFolder(m_root + u"/missing"_s).isEmpty());
}

void PlaylistFoldersTest::photoFilesNeverIncludeFolders()
{
    const QString folder = m_root + u"/Trip"_s;
    QVERIFY(test::writeFile(folder + u"/.hidden-12345678.jpg"_s));
    QVERIFY(test::writeFile(folder + u"/Photo.JPEG"_s));
    QVERIFY(QDir().mkpath(folder + u"/Album.jpg"_s));
    QVERIFY(QFile::link(m_dir->path() + u"/outside"_s, folder + u"/Linked.jpg"_s));

    QCOMPARE(PhotoFolder::listPhotoFiles(folder),
             (QStringList{folder + u"/.hidden-12345678.jpg"_s, folder + u"/Photo.JPEG"_s}));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistFoldersTest)
#include "PlaylistFoldersTest.moc"
