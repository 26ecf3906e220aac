#include "library/LocalPhotos.h"
#include "model/Album.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "support/FakePickers.h"
#include "support/TemporaryHome.h"
#include "support/TestFiles.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QString>)
Q_DECLARE_METATYPE(lumi::LocalPhotos::Fit)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QStringList names(const QStringList& paths)
{
    QStringList result;
    for (const QString& path : paths)
        result.append(QFileInfo(path).fileName());
    return result;
}

} // namespace

class LocalPhotosTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void photoFiles_data();
    void photoFiles();
    void photoFilesKeepTheFirst500ByName();
    void importPhotos_data();
    void importPhotos();
    void linkedFolder_data();
    void linkedFolder();
    void unlinkFolder_data();
    void unlinkFolder();
    void fitMode_data();
    void fitMode();
    void dialogsAskWhatTheyShould();

private:
    QString path(const QString& relative) const { return m_home->path() + u'/' + relative; }

    std::unique_ptr<test::TemporaryHome> m_home;
};

void LocalPhotosTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
}

void LocalPhotosTest::cleanup()
{
    m_home.reset();
}

void LocalPhotosTest::photoFiles_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("numbers by value, letters without case")
        << QStringList{u"IMG_10.jpg"_s, u"IMG_9.JPG"_s, u"img_1.Jpeg"_s}
        << QStringList{u"img_1.Jpeg"_s, u"IMG_9.JPG"_s, u"IMG_10.jpg"_s};
    QTest::newRow("leading zeros") << QStringList{u"a10.jpg"_s, u"a010.jpg"_s, u"a9.jpg"_s}
                                   << QStringList{u"a9.jpg"_s, u"a010.jpg"_s, u"a10.jpg"_s};
    QTest::newRow("sync-made names, hidden files and others left out")
        << QStringList{u"Sunset-1a2b3c4d.jpg"_s, u".hidden.jpg"_s, u"notes.txt"_s, u"Trip-20240131.jpg"_s}
        << QStringList{u"Trip-20240131.jpg"_s};
    QTest::newRow("folder named like a photo")
        << QStringList{u"Album.jpg/"_s, u"b.jpg"_s} << QStringList{u"b.jpg"_s};
}

void LocalPhotosTest::photoFiles()
{
    QFETCH(QStringList, present);
    QFETCH(QStringList, expected);

    for (const QString& name : present) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir().mkpath(path(u"linked/"_s + name)));
        else
            QVERIFY(test::writeFile(path(u"linked/"_s + name)));
    }
    const QStringList files = LocalPhotos::photoFiles(path(u"linked"_s));
    QCOMPARE(names(files), expected);
    if (!files.isEmpty())
        QCOMPARE(files.first(), path(u"linked/"_s + expected.first()));
    QVERIFY(LocalPhotos::photoFiles(path(u"missing"_s)).isEmpty());
}

void LocalPhotosTest::photoFilesKeepTheFirst500ByName()
{
    for (int i = 600; i >= 1; --i)
        QVERIFY(test::writeFile(path(u"linked/p%1.jpg"_s.arg(i))));
    const QStringList files = names(LocalPhotos::photoFiles(path(u"linked"_s)));
    QCOMPARE(files.size(), 500);
    QCOMPARE(files.first(), u"p1.jpg"_s);
    QCOMPARE(files.last(), u"p500.jpg"_s);
}

void LocalPhotosTest::importPhotos_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << QStringList() << u"Beach.jpeg"_s << u"Beach.jpg"_s;
    QTest::newRow("taken names get a number")
        << QStringList{u"Beach.jpg"_s, u"Beach 2.jpg"_s} << u"Beach.jpeg"_s << u"Beach 3.jpg"_s;
    QTest::newRow("sync-like name gains an x")
        << QStringList() << u"Sunset-a1b2c3d4.jpg"_s << u"Sunset-a1b2c3d4x.jpg"_s;
    QTest::newRow("a folder of that name counts as taken")
        << QStringList{u"Beach.jpg/"_s} << u"Beach.jpg"_s << u"Beach 2.jpg"_s;
    QTest::newRow("a dangling link of that name counts as taken")
        << QStringList{u"Beach.jpg@"_s} << u"Beach.jpg"_s << u"Beach 2.jpg"_s;
}

void LocalPhotosTest::importPhotos()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, source);
    QFETCH(QString, expected);

    const QString folder = path(u"Lumivale Playlist/Trip"_s);
    QVERIFY(QDir().mkpath(folder));
    for (const QString& name : existing) {
        if (name.endsWith(u'/'))
            QVERIFY(QDir().mkpath(folder + u'/' + name));
        else if (name.endsWith(u'@'))
            QVERIFY(QFile::link(path(u"nowhere.jpg"_s), folder + u'/' + name.chopped(1)));
        else
            QVERIFY(test::writeFile(folder + u'/' + name, "old"));
    }
    QVERIFY(test::writeFile(path(u"picked/"_s + source), "new photo"));

    QCOMPARE(LocalPhotos::importPhotos({path(u"picked/"_s + source), path(u"picked/absent.jpg"_s)}, folder),
             1);

    QFile copy(folder + u'/' + expected);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("new photo"));
    QVERIFY(!QFileInfo::exists(path(u"nowhere.jpg"_s)));
    QVERIFY(names(LocalPhotos::photoFiles(folder)).contains(expected));
    QCOMPARE(LogStore::shared().recent().filter(u"[local] copy failed: "_s).size(), 1);
}

void LocalPhotosTest::linkedFolder_data()
{
    QTest::addColumn<std::optional<QString>>("localPath");
    QTest::addColumn<QString>("linkedHere"); // the folder this computer recorded for the playlist
    QTest::addColumn<bool>("linked");
    QTest::addColumn<bool>("missing");

    const std::optional<QString> pictures(u"Pictures"_s);
    QTest::newRow("not linked") << std::optional<QString>() << QString() << false << false;
    QTest::newRow("empty path") << std::optional(QString()) << QString() << false << false;
    QTest::newRow("existing folder") << pictures << u"Pictures"_s << true << false;
    QTest::newRow("the same folder, written another way")
        << std::optional(u"Pictures/../Pictures/"_s) << u"Pictures"_s << true << false;
    QTest::newRow("named only by the service") << pictures << QString() << false << true;
    QTest::newRow("linked here to another folder") << pictures << u"Other"_s << false << true;
    QTest::newRow("a file") << std::optional(u"file.jpg"_s) << u"file.jpg"_s << false << true;
    QTest::newRow("gone") << std::optional(u"Gone"_s) << u"Gone"_s << false << true;
}

void LocalPhotosTest::linkedFolder()
{
    QFETCH(std::optional<QString>, localPath);
    QFETCH(QString, linkedHere);
    QFETCH(bool, linked);
    QFETCH(bool, missing);

    QVERIFY(QDir().mkpath(path(u"Pictures"_s)));
    QVERIFY(QDir().mkpath(path(u"Other"_s)));
    QVERIFY(test::writeFile(path(u"file.jpg"_s)));
    Defaults& defaults = Defaults::shared();
    defaults.remove(keys::linkedFolderBookmarks);
    Album album;
    album.id = 7;
    if (!linkedHere.isEmpty())
        LocalPhotos::recordLink(defaults, album.id, path(linkedHere));
    if (localPath)
        album.localPath = localPath->isEmpty() ? QString() : path(*localPath);
    QCOMPARE(LocalPhotos::linkedFolder(album, defaults),
             linked ? std::optional(path(linkedHere)) : std::nullopt);
    QCOMPARE(LocalPhotos::isFolderMissing(album, defaults), missing);
}

void LocalPhotosTest::unlinkFolder_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: nothing stored
    QTest::addColumn<QVariantMap>("expected");

    QTest::newRow("nothing stored") << QVariant() << QVariantMap();
    QTest::newRow("the entry goes, others stay")
        << QVariant(QVariantMap{{u"7"_s, QByteArray("a")}, {u"8"_s, QByteArray("b")}})
        << QVariantMap{{u"8"_s, QByteArray("b")}};
    QTest::newRow("a map of other values counts as none")
        << QVariant(QVariantMap{{u"8"_s, u"text"_s}}) << QVariantMap();
    QTest::newRow("not a map") << QVariant(u"text"_s) << QVariantMap();
}

void LocalPhotosTest::unlinkFolder()
{
    QFETCH(QVariant, stored);
    QFETCH(QVariantMap, expected);

    Defaults& defaults = Defaults::shared();
    if (stored.isValid())
        defaults.setValue(keys::linkedFolderBookmarks, stored);
    LocalPhotos::unlinkFolder(defaults, 7);
    QCOMPARE(defaults.mapValue(keys::linkedFolderBookmarks), std::optional(expected));
}

void LocalPhotosTest::fitMode_data()
{
    QTest::addColumn<std::optional<QString>>("setting");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<LocalPhotos::Fit>("fit");

    QTest::newRow("no setting, square")
        << std::optional<QString>() << QSize(100, 100) << LocalPhotos::Fit::fit;
    QTest::newRow("no setting, wide")
        << std::optional<QString>() << QSize(200, 100) << LocalPhotos::Fit::cover;
    QTest::newRow("adapt, wide") << std::optional(u"adapt"_s) << QSize(200, 100) << LocalPhotos::Fit::cover;
    QTest::newRow("adapt, upright") << std::optional(u"adapt"_s) << QSize(100, 200) << LocalPhotos::Fit::fit;
    QTest::newRow("cover") << std::optional(u"cover"_s) << QSize(100, 200) << LocalPhotos::Fit::cover;
    QTest::newRow("fill") << std::optional(u"fill"_s) << QSize(100, 200) << LocalPhotos::Fit::fill;
    QTest::newRow("Cover with a capital")
        << std::optional(u"Cover"_s) << QSize(200, 100) << LocalPhotos::Fit::fit;
    QTest::newRow("unknown") << std::optional(u"stretch"_s) << QSize(200, 100) << LocalPhotos::Fit::fit;
}

void LocalPhotosTest::fitMode()
{
    QFETCH(std::optional<QString>, setting);
    QFETCH(QSize, size);
    QFETCH(LocalPhotos::Fit, fit);
    QCOMPARE(LocalPhotos::fitMode(setting, size.width(), size.height()), fit);
}

// The file dialogs can't run headless: a fake stands in and records what was asked.
void LocalPhotosTest::dialogsAskWhatTheyShould()
{
    test::FakePickers pickers;
    pickers.folderAnswer = path(u"Pictures"_s);
    pickers.filesAnswer = QStringList{path(u"a.jpg"_s), path(u"b.jpeg"_s)};

    QCOMPARE(QCoro::waitFor(LocalPhotos::chooseFolder(pickers, u"Choose a folder to link"_s)),
             std::optional(path(u"Pictures"_s)));
    QCOMPARE(QCoro::waitFor(LocalPhotos::choosePhotos(pickers)), pickers.filesAnswer);
    QCOMPARE(pickers.folderRequests.size(), 1);
    QCOMPARE(pickers.folderRequests.first().message, u"Choose a folder to link"_s);
    QCOMPARE(pickers.folderRequests.first().acceptLabel, u"Choose"_s);
    QVERIFY(!pickers.folderRequests.first().canCreateFolders);
    QCOMPARE(pickers.filesRequests.size(), 1);
    QCOMPARE(pickers.filesRequests.first().acceptLabel, u"Add"_s);
    QVERIFY(pickers.filesRequests.first().nameFilters.first().contains(u"*.jpeg"_s));

    pickers.folderAnswer.reset();
    QCOMPARE(QCoro::waitFor(LocalPhotos::chooseFolder(pickers, u"Choose"_s)), std::optional<QString>());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::LocalPhotosTest)
#include "LocalPhotosTest.moc"
