#include "library/PhotoPlacer.h"
#include "library/FileIdentity.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

quint64 linkCount(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_nlink : 0;
}

} // namespace

class PhotoPlacerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void linksOnceAndLeavesTheSameFileAlone();
    void replacesAStaleEntryOfTheSameName_data();
    void replacesAStaleEntryOfTheSameName();
    void neverReplacesAFolder();
    void missingSourceRemovesTheStaleEntry();
    void copiesAcrossFileSystems();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_source;
    QString m_folder;
    QString m_entry;
};

void PhotoPlacerTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->path() + u"/Trip"_s));
    QVERIFY(QDir().mkpath(m_dir->path() + u"/Wallpaper"_s));
    m_source = m_dir->path() + u"/Trip/Sunset-1a2b3c4d.jpg"_s;
    m_folder = m_dir->path() + u"/Wallpaper"_s;
    m_entry = m_folder + u"/Sunset-1a2b3c4d.jpg"_s;
    QVERIFY(test::writeFile(m_source, "photo"));
}

void PhotoPlacerTest::linksOnceAndLeavesTheSameFileAlone()
{
    QCOMPARE(PhotoPlacer::place(m_source, m_folder), PhotoPlacer::Outcome::linked);
    QCOMPARE(FileIdentity::of(m_entry), FileIdentity::of(m_source));
    QCOMPARE(linkCount(m_source), 2u);

    QCOMPARE(PhotoPlacer::place(m_source, m_folder), PhotoPlacer::Outcome::alreadyThere);
    QCOMPARE(linkCount(m_source), 2u);
    // A file placed into its own folder is the same file too: it must survive.
    QCOMPARE(PhotoPlacer::place(m_source, m_dir->path() + u"/Trip"_s), PhotoPlacer::Outcome::alreadyThere);
    QCOMPARE(test::contentOf(m_source), QByteArray("photo"));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"Sunset-1a2b3c4d.jpg"_s});
}

void PhotoPlacerTest::replacesAStaleEntryOfTheSameName_data()
{
    QTest::addColumn<QString>("stale");
    QTest::newRow("an older download") << u"file"_s;
    QTest::newRow("a link to another file") << u"hardlink"_s;
    QTest::newRow("a symbolic link elsewhere") << u"symlink"_s;
}

void PhotoPlacerTest::replacesAStaleEntryOfTheSameName()
{
    QFETCH(QString, stale);

    const QString other = m_dir->path() + u"/other.jpg"_s;
    QVERIFY(test::writeFile(other, "someone else's"));
    if (stale == u"file"_s)
        QVERIFY(test::writeFile(m_entry, "old download"));
    else if (stale == u"hardlink"_s)
        QVERIFY(::link(QFile::encodeName(other).constData(), QFile::encodeName(m_entry).constData()) == 0);
    else
        QVERIFY(QFile::link(other, m_entry));

    QCOMPARE(PhotoPlacer::place(m_source, m_folder), PhotoPlacer::Outcome::linked);
    QCOMPARE(FileIdentity::of(m_entry), FileIdentity::of(m_source));
    QCOMPARE(test::contentOf(other), QByteArray("someone else's"));
    QCOMPARE(QDir(m_folder).entryList(QDir::Files | QDir::Hidden), QStringList{u"Sunset-1a2b3c4d.jpg"_s});
}

void PhotoPlacerTest::neverReplacesAFolder()
{
    QVERIFY(QDir().mkpath(m_entry));
    QVERIFY(test::writeFile(m_entry + u"/keep.txt"_s, "mine"));

    QCOMPARE(PhotoPlacer::place(m_source, m_folder), PhotoPlacer::Outcome::failed);
    QCOMPARE(test::contentOf(m_entry + u"/keep.txt"_s), QByteArray("mine"));
    QCOMPARE(QDir(m_folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"Sunset-1a2b3c4d.jpg"_s});
}

void PhotoPlacerTest::missingSourceRemovesTheStaleEntry()
{
    QVERIFY(test::writeFile(m_entry, "old download"));
    QVERIFY(QFile::remove(m_source));

    QCOMPARE(PhotoPlacer::place(m_source, m_folder), PhotoPlacer::Outcome::failed);
    QVERIFY(!QFileInfo::exists(m_entry));
}

void PhotoPlacerTest::copiesAcrossFileSystems()
{
    QTemporaryDir elsewhere(u"/dev/shm/lumivale-placer-XXXXXX"_s);
    if (!elsewhere.isValid())
        QSKIP("no /dev/shm to place into");
    const std::optional<FileIdentity> here = FileIdentity::of(m_folder);
    const std::optional<FileIdentity> there = FileIdentity::of(elsewhere.path());
    QVERIFY(here && there);
    if (here->device == there->device)
        QSKIP("/dev/shm is on the same file system as the temporary folder");
    const QString entry = elsewhere.path() + u"/Sunset-1a2b3c4d.jpg"_s;

    QCOMPARE(PhotoPlacer::place(m_source, elsewhere.path()), PhotoPlacer::Outcome::copied);
    QCOMPARE(test::contentOf(entry), QByteArray("photo"));
    QCOMPARE(linkCount(m_source), 1u);
    // Inode numbers repeat across file systems; only device and inode together tell a copy apart.
    QVERIFY(FileIdentity::of(entry) != FileIdentity::of(m_source));

    QVERIFY(test::writeFile(m_source + u".new"_s, "newer photo"));
    QVERIFY(::rename(QFile::encodeName(m_source + u".new"_s).constData(),
                     QFile::encodeName(m_source).constData()) == 0);
    QCOMPARE(PhotoPlacer::place(m_source, elsewhere.path()), PhotoPlacer::Outcome::copied);
    QCOMPARE(test::contentOf(entry), QByteArray("newer photo"));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"Sunset-1a2b3c4d.jpg"_s});
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoPlacerTest)
#include "PhotoPlacerTest.moc"
