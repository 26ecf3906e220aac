#include "library/DataDirectory.h"
#include "library/FileIdentity.h"
#include "library/SyncPause.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "platform/Paths.h"
#include "platform/linux/XdgTrash.h"
#include "support/FakePickers.h"
#include "support/RecordingProcessControl.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QtTest>

#include <unistd.h>

Q_DECLARE_METATYPE(lumi::DataDirectory::ChangeError::Kind)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Stands in for the playlist sync, which is not part of these tests: records what the move asks.
class RecordingSyncPause final : public SyncPause
{
public:
    QCoro::Task<void> pauseSync() override
    {
        ++pauses;
        co_return;
    }
    void resumeSync() override { ++resumes; }

    int pauses = 0;
    int resumes = 0;
};

// QCoro::waitFor does not pass exceptions on, so the refusal is caught inside a coroutine.
QCoro::Task<std::optional<DataDirectory::ChangeError>> attemptChange(DataDirectory* directory, QString target,
                                                                     SyncPause* sync)
{
    try {
        co_await directory->change(target, sync);
    } catch (const DataDirectory::ChangeError& error) {
        co_return error;
    }
    co_return std::nullopt;
}

} // namespace

class DataDirectoryTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void current_data();
    void current();
    void changeRefuses_data();
    void changeRefuses();
    void changeCopiesStoresTrashesAndRelaunches();
    void changeUsesPhotoFoldersAlreadyThere();
    void failedCopyChangesNothing();
    void neverTrashesTheCurrentLibrary();

private:
    QString path(const QString& relative) const { return m_home->path() + u'/' + relative; }
    std::optional<DataDirectory::ChangeError::Kind> change(const QString& target);
    QStringList dataDirLines() const { return LogStore::shared().recent().filter(u"[data-dir]"_s); }

    std::unique_ptr<test::TemporaryHome> m_home;
    test::FakePickers m_pickers;
    XdgTrash m_trash;
    test::RecordingProcessControl m_processes;
    RecordingSyncPause m_sync;
    std::unique_ptr<DataDirectory> m_directory;
};

void DataDirectoryTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
    m_processes = {};
    m_sync = {};
    m_directory = std::make_unique<DataDirectory>(Defaults::shared(), m_pickers, m_trash, m_processes);
}

void DataDirectoryTest::cleanup()
{
    m_directory.reset();
    m_home.reset();
}

std::optional<DataDirectory::ChangeError::Kind> DataDirectoryTest::change(const QString& target)
{
    const std::optional<DataDirectory::ChangeError> error =
        QCoro::waitFor(attemptChange(m_directory.get(), target, &m_sync));
    return error ? std::optional(error->kind()) : std::nullopt;
}

void DataDirectoryTest::current_data()
{
    QTest::addColumn<QString>("stored");    // below the home; empty: nothing stored
    QTest::addColumn<QString>("documents"); // XDG_DOCUMENTS_DIR below the home; empty: not set
    QTest::addColumn<QString>("expected");  // below the home; empty: the application data folder
    QTest::addColumn<bool>("loggedUnwritable");

    QTest::newRow("stored folder, made when missing") << u"photos"_s << QString() << u"photos"_s << false;
    QTest::newRow("stored folder can't be made") << u"afile/photos"_s << QString() << u"Documents"_s << true;
    QTest::newRow("nothing stored") << QString() << QString() << u"Documents"_s << false;
    QTest::newRow("Documents in a synced folder")
        << QString() << u"Dropbox/Documents"_s << QString() << false;
    QTest::newRow("Documents linked into a synced folder") << QString() << u"Docs"_s << QString() << false;
    QTest::newRow("Documents can't be written") << QString() << u"afile/Documents"_s << QString() << false;
}

void DataDirectoryTest::current()
{
    QFETCH(QString, stored);
    QFETCH(QString, documents);
    QFETCH(QString, expected);
    QFETCH(bool, loggedUnwritable);

    QVERIFY(test::writeFile(path(u"afile"_s)));
    QVERIFY(QDir().mkpath(path(u"OneDrive/Documents"_s)));
    QVERIFY(QFile::link(path(u"OneDrive/Documents"_s), path(u"Docs"_s)));
    if (!documents.isEmpty())
        QVERIFY(test::writeFile(path(u".config/user-dirs.dirs"_s),
                                "XDG_DOCUMENTS_DIR=\"$HOME/" + documents.toUtf8() + "\"\n"));
    if (!stored.isEmpty())
        Defaults::shared().setValue(keys::dataDir, path(stored) + u'/');

    QCOMPARE(DataDirectory::current(Defaults::shared()),
             expected.isEmpty() ? Paths::appDataFolder() : path(expected));
    const QString line =
        u"E [data-dir] data-dir "_s + path(stored) + u"/ isn't writable, using the default"_s;
    QCOMPARE(dataDirLines().filter(line).size(), loggedUnwritable ? 1 : 0);
    QVERIFY(QDir(path(expected)).entryList(QDir::Hidden | QDir::Files).filter(u"write-test"_s).isEmpty());
}

void DataDirectoryTest::changeRefuses_data()
{
    using Kind = DataDirectory::ChangeError::Kind;
    QTest::addColumn<QString>("target"); // below the home
    QTest::addColumn<Kind>("refusal");

    QTest::newRow("the same folder") << u"photos"_s << Kind::same;
    QTest::newRow("the same with a trailing slash") << u"photos/"_s << Kind::same;
    QTest::newRow("the same through a symbolic link") << u"alias"_s << Kind::same;
    QTest::newRow("the Lumivale folder itself") << u"photos/Lumivale"_s << Kind::inside;
    QTest::newRow("the playlist folder itself") << u"photos/Lumivale Playlist/"_s << Kind::inside;
    QTest::newRow("inside the wallpaper folder") << u"photos/Lumivale/Lumivale Wallpaper"_s << Kind::inside;
    QTest::newRow("inside a photo folder through a symbolic link")
        << u"alias/Lumivale Playlist/new"_s << Kind::inside;
    QTest::newRow("a link to the Lumivale folder") << u"wallpaper-link"_s << Kind::inside;
    QTest::newRow("any case of dropbox") << u"DropBox/photos"_s << Kind::cloud;
    QTest::newRow("google drive") << u"Google Drive/photos"_s << Kind::cloud;
    QTest::newRow("below a file") << u"afile/photos"_s << Kind::notWritable;
}

void DataDirectoryTest::changeRefuses()
{
    using Kind = DataDirectory::ChangeError::Kind;
    QFETCH(QString, target);
    QFETCH(Kind, refusal);

    QVERIFY(test::writeFile(path(u"photos/Lumivale/Lumivale Wallpaper/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(QDir().mkpath(path(u"photos/Lumivale Playlist"_s)));
    QVERIFY(QFile::link(path(u"photos"_s), path(u"alias"_s)));
    QVERIFY(QFile::link(path(u"photos/Lumivale"_s), path(u"wallpaper-link"_s)));
    QVERIFY(test::writeFile(path(u"afile"_s)));
    Defaults::shared().setValue(keys::dataDir, path(u"photos"_s));

    QCOMPARE(change(path(target)), std::optional(refusal));
    QCOMPARE(Defaults::shared().stringValue(keys::dataDir), std::optional(path(u"photos"_s)));
    QCOMPARE(m_sync.pauses, 0);
    QVERIFY(dataDirLines().isEmpty());
    QVERIFY(!QFileInfo::exists(path(u"photos/Lumivale/Lumivale Wallpaper/Lumivale"_s)));
}

void DataDirectoryTest::changeCopiesStoresTrashesAndRelaunches()
{
    const QString old = path(u"photos"_s);
    QVERIFY(test::writeFile(old + u"/Lumivale Playlist/Trip/Sunset-1a2b3c4d.jpg"_s, "photo"));
    QVERIFY(test::writeFile(old + u"/Lumivale Playlist/Trip/.hidden"_s, "hidden"));
    QVERIFY(QDir().mkpath(old + u"/Lumivale/Lumivale Wallpaper"_s));
    QVERIFY(
        ::link(QFile::encodeName(old + u"/Lumivale Playlist/Trip/Sunset-1a2b3c4d.jpg"_s).constData(),
               QFile::encodeName(old + u"/Lumivale/Lumivale Wallpaper/Sunset-1a2b3c4d.jpg"_s).constData()) ==
        0);
    QVERIFY(::symlink("../Lumivale Playlist/Trip",
                      QFile::encodeName(old + u"/Lumivale/trip-link"_s).constData()) == 0);
    Defaults::shared().setValue(keys::dataDir, old);

    QCOMPARE(change(path(u"moved/"_s)), std::nullopt);

    const QString moved = path(u"moved"_s);
    QCOMPARE(Defaults::shared().stringValue(keys::dataDir), std::optional(moved));
    QCOMPARE(m_sync.pauses, 1);
    QCOMPARE(m_sync.resumes, 0);
    QCOMPARE(dataDirLines().size(), 1);
    QVERIFY(dataDirLines().first().endsWith(u"I [data-dir] photo directory moved from "_s + old + u" to "_s +
                                            moved));
    const QString photo = moved + u"/Lumivale Playlist/Trip/Sunset-1a2b3c4d.jpg"_s;
    QFile copy(photo);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("photo"));
    QVERIFY(QFileInfo::exists(moved + u"/Lumivale Playlist/Trip/.hidden"_s));
    // Links between the copied files stay links: the library does not double in size.
    QCOMPARE(FileIdentity::of(moved + u"/Lumivale/Lumivale Wallpaper/Sunset-1a2b3c4d.jpg"_s),
             FileIdentity::of(photo));
    QVERIFY(FileIdentity::of(photo) !=
            FileIdentity::of(old + u"/Lumivale Playlist/Trip/Sunset-1a2b3c4d.jpg"_s));
    QCOMPARE(QFileInfo(moved + u"/Lumivale/trip-link"_s).symLinkTarget(),
             moved + u"/Lumivale Playlist/Trip"_s);
    QCOMPARE(m_directory->current(), moved);

    m_directory->trashOldFolders(old);
    QVERIFY(!QFileInfo::exists(old + u"/Lumivale"_s));
    QVERIFY(!QFileInfo::exists(old + u"/Lumivale Playlist"_s));
    QCOMPARE(QDir(Paths::dataHome() + u"/Trash/files"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{u"Lumivale"_s, u"Lumivale Playlist"_s}));
    QVERIFY(QFileInfo::exists(photo));

    m_directory->relaunch();
    QCOMPARE(m_processes.started,
             (QStringList{u"/bin/sh"_s, u"-c"_s,
                          u"while kill -0 \"$1\" 2>/dev/null; do sleep 0.2; done; exec \"$2\""_s, u"sh"_s,
                          u"4242"_s, u"/opt/lumivale/lumivale"_s}));
    QCOMPARE(m_processes.quits, 1);
}

void DataDirectoryTest::changeUsesPhotoFoldersAlreadyThere()
{
    QVERIFY(test::writeFile(path(u"photos/Lumivale Playlist/Trip/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(path(u"elsewhere/Lumivale/Lumivale Wallpaper/Beach-5e6f7a8b.jpg"_s)));
    Defaults::shared().setValue(keys::dataDir, path(u"photos"_s));

    QCOMPARE(change(path(u"elsewhere"_s)), std::nullopt);

    QCOMPARE(Defaults::shared().stringValue(keys::dataDir), std::optional(path(u"elsewhere"_s)));
    QVERIFY(!QFileInfo::exists(path(u"elsewhere/Lumivale Playlist"_s)));
    QCOMPARE(dataDirLines().size(), 1);
}

void DataDirectoryTest::failedCopyChangesNothing()
{
    // The copy runs into the system's path length limit: the target lies deep enough that the
    // old folder's deepest file gets a path over 4096 bytes there, and not before.
    const QString old = path(u"o"_s);
    QString deep = old + u"/Lumivale Playlist"_s;
    while (deep.size() < 3000)
        deep += u'/' + QString(200, u'd');
    QVERIFY(test::writeFile(deep + u"/Sunset-1a2b3c4d.jpg"_s));
    QString target = path(u"n"_s);
    while (target.size() < old.size() + 1500)
        target += u'/' + QString(200, u't');
    Defaults::shared().setValue(keys::dataDir, old);

    const std::optional<DataDirectory::ChangeError> error =
        QCoro::waitFor(attemptChange(m_directory.get(), target, &m_sync));
    QVERIFY(error);
    QCOMPARE(error->kind(), DataDirectory::ChangeError::Kind::copy);
    QVERIFY2(error->message().startsWith(u"Failed to copy files to new directory: "_s),
             qPrintable(error->message()));
    QVERIFY(!error->detail().isEmpty());
    QCOMPARE(Defaults::shared().stringValue(keys::dataDir), std::optional(old));
    QCOMPARE(m_sync.pauses, 1);
    QCOMPARE(m_sync.resumes, 1);
    QVERIFY(dataDirLines().isEmpty());
}

void DataDirectoryTest::neverTrashesTheCurrentLibrary()
{
    const QString current = path(u"photos/Lumivale Playlist/Trip/inner"_s);
    QVERIFY(test::writeFile(path(u"photos/Lumivale/Lumivale Wallpaper/Sunset-1a2b3c4d.jpg"_s)));
    QVERIFY(test::writeFile(current + u"/Lumivale/Lumivale Wallpaper/Beach-5e6f7a8b.jpg"_s));
    Defaults::shared().setValue(keys::dataDir, current);

    m_directory->trashOldFolders(path(u"photos"_s));
    m_directory->trashOldFolders(current);

    QVERIFY(QFileInfo::exists(current + u"/Lumivale/Lumivale Wallpaper/Beach-5e6f7a8b.jpg"_s));
    // The other old folder holds nothing of the current directory and goes.
    QVERIFY(!QFileInfo::exists(path(u"photos/Lumivale"_s)));
    const QString refused = u" not moved to the Trash: the current photo directory uses it"_s;
    QCOMPARE(dataDirLines().filter(u"E [data-dir] old Lumivale Playlist"_s + refused).size(), 1);
    QCOMPARE(dataDirLines().filter(u"E [data-dir] old Lumivale"_s + refused).size(), 1);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::DataDirectoryTest)
#include "DataDirectoryTest.moc"
