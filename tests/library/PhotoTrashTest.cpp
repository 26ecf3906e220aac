#include "library/PhotoTrash.h"
#include "platform/Paths.h"
#include "platform/linux/XdgTrash.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

class PhotoTrashTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void onlyPlaylistPhotosGoToTheTrash_data();
    void onlyPlaylistPhotosGoToTheTrash();

private:
    QString path(const QString& relative) const { return m_home->path() + u'/' + relative; }

    std::unique_ptr<test::TemporaryHome> m_home;
};

void PhotoTrashTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
    // The data folder does not exist yet: the trash must still end up in it, not in "./files".
    QVERIFY(!QFileInfo::exists(Paths::dataHome()));
}

void PhotoTrashTest::cleanup()
{
    m_home.reset();
}

void PhotoTrashTest::onlyPlaylistPhotosGoToTheTrash_data()
{
    QTest::addColumn<QString>("localPath"); // below the home; the photo that survives or not
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("trashed");

    QTest::newRow("photo of a playlist folder")
        << u"root/Trip/IMG_0001.jpg"_s << u"root/Trip/IMG_0001.jpg"_s << true;
    QTest::newRow("path that leaves the root")
        << u"root/Trip/../../mine/photo.jpg"_s << u"mine/photo.jpg"_s << false;
    QTest::newRow("relative path") << u"../mine/photo.jpg"_s << u"mine/photo.jpg"_s << false;
    QTest::newRow("folder named like a photo")
        << u"root/Trip/Album.jpg"_s << u"root/Trip/Album.jpg/inner.txt"_s << false;
    QTest::newRow("through a linked folder in the root")
        << u"root/Linked/photo.jpg"_s << u"mine/photo.jpg"_s << false;
    QTest::newRow("not a photo") << u"root/Trip/notes.txt"_s << u"root/Trip/notes.txt"_s << false;
    QTest::newRow("outside the root") << u"mine/photo.jpg"_s << u"mine/photo.jpg"_s << false;
}

void PhotoTrashTest::onlyPlaylistPhotosGoToTheTrash()
{
    QFETCH(QString, localPath);
    QFETCH(QString, target);
    QFETCH(bool, trashed);

    QVERIFY(test::writeFile(path(u"root/Trip/IMG_0001.jpg"_s)));
    QVERIFY(test::writeFile(path(u"root/Trip/notes.txt"_s)));
    QVERIFY(test::writeFile(path(u"root/Trip/Album.jpg/inner.txt"_s)));
    QVERIFY(test::writeFile(path(u"mine/photo.jpg"_s)));
    QVERIFY(QFile::link(path(u"mine"_s), path(u"root/Linked"_s)));

    XdgTrash trash;
    const QString given = localPath.startsWith(u".."_s) ? localPath : path(localPath);
    const std::optional<QString> failure = PhotoTrash::trashPlaylistPhoto(trash, path(u"root"_s), given);

    QCOMPARE(!failure, trashed);
    QCOMPARE(QFileInfo::exists(path(target)), !trashed);
    const QStringList inTrash = QDir(Paths::dataHome() + u"/Trash/files"_s).entryList(QDir::Files);
    QCOMPARE(inTrash, trashed ? QStringList{QFileInfo(target).fileName()} : QStringList());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoTrashTest)
#include "PhotoTrashTest.moc"
