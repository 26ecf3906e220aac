#include "library/FolderRenamer.h"
#include "library/LocalPhotos.h"
#include "model/Album.h"
#include "model/AppLog.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

class FolderRenamerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void renameFolders_data();
    void renameFolders();

private:
    std::unique_ptr<test::TemporaryHome> m_home;
};

void FolderRenamerTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
}

void FolderRenamerTest::cleanup()
{
    m_home.reset();
}

void FolderRenamerTest::renameFolders_data()
{
    QTest::addColumn<QVariant>("storedTitle"); // invalid: no entry for the playlist
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("existing"); // folders below the root before the pass
    QTest::addColumn<bool>("linked");
    QTest::addColumn<QStringList>("expected"); // folders below the root holding the photo afterwards
    QTest::addColumn<bool>("moved");

    const QStringList a{u"A"_s};
    QTest::newRow("renamed") << QVariant(u"A"_s) << u"B"_s << a << false << QStringList{u"B"_s} << true;
    QTest::newRow("into a nested title")
        << QVariant(u"A"_s) << u"Trips/B"_s << a << false << QStringList{u"Trips/B"_s} << true;
    QTest::newRow("new folder already there") << QVariant(u"A"_s) << u"B"_s << QStringList{u"A"_s, u"B"_s}
                                              << false << QStringList{u"A"_s, u"B"_s} << false;
    QTest::newRow("title unchanged") << QVariant(u"A"_s) << u"A"_s << a << false << QStringList{u"A"_s}
                                     << false;
    QTest::newRow("new playlist, no stored title")
        << QVariant() << u"B"_s << a << false << QStringList{u"A"_s} << false;
    QTest::newRow("new title empty") << QVariant(u"A"_s) << QString() << a << false << QStringList{u"A"_s}
                                     << false;
    QTest::newRow("new title leads out of the root")
        << QVariant(u"A"_s) << u"../B"_s << a << false << QStringList{u"A"_s} << false;
    QTest::newRow("old title leads out of the root")
        << QVariant(u"../A"_s) << u"B"_s << a << false << QStringList{u"A"_s} << false;
    QTest::newRow("linked folder never moves")
        << QVariant(u"A"_s) << u"B"_s << a << true << QStringList{u"A"_s} << false;
    QTest::newRow("stored titles not all text")
        << QVariant(42) << u"B"_s << a << false << QStringList{u"A"_s} << false;
}

void FolderRenamerTest::renameFolders()
{
    QFETCH(QVariant, storedTitle);
    QFETCH(QString, title);
    QFETCH(QStringList, existing);
    QFETCH(bool, linked);
    QFETCH(QStringList, expected);
    QFETCH(bool, moved);

    const QString root = m_home->path() + u"/Lumivale Playlist"_s;
    for (const QString& folder : existing) {
        QVERIFY(QDir().mkpath(root + u'/' + folder));
        QFile photo(root + u'/' + folder + u"/Sunset-1a2b3c4d.jpg"_s);
        QVERIFY(photo.open(QIODevice::WriteOnly));
    }
    Defaults& defaults = Defaults::shared();
    QVariantMap titles{{u"99"_s, u"Other"_s}};
    if (storedTitle.isValid())
        titles.insert(u"7"_s, storedTitle);
    defaults.setValue(keys::syncPlaylistTitles, titles);
    Album playlist;
    playlist.id = 7;
    playlist.title = title;
    if (linked) {
        QVERIFY(QDir().mkpath(m_home->path() + u"/Pictures"_s));
        playlist.localPath = m_home->path() + u"/Pictures"_s;
        LocalPhotos::recordLink(defaults, playlist.id, *playlist.localPath);
    }

    FolderRenamer::renameFolders(root, {playlist}, defaults, AppLog(u"sync"_s));

    QStringList holding;
    QDirIterator it(root, {u"Sunset-1a2b3c4d.jpg"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        holding.append(QDir(root).relativeFilePath(QFileInfo(it.next()).path()));
    holding.sort();
    QCOMPARE(holding, expected);
    QCOMPARE(LogStore::shared().recent().filter(u"[sync] playlist 7 renamed: folder moved"_s).size(),
             moved ? 1 : 0);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::FolderRenamerTest)
#include "FolderRenamerTest.moc"
