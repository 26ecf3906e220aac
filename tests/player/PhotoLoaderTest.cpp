#include "player/PhotoLoader.h"

#include "library/LocalPhotos.h"
#include "model/Defaults.h"
#include "support/library/SyncHarness.h"

#include <QCoroTask>
#include <QDir>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// A folder linked on this computer: the photos' own files are read there.
QString linkedFolder(test::SyncHarness& harness)
{
    const QString folder = harness.home.path() + u"/Pictures"_s;
    QDir().mkpath(folder);
    LocalPhotos::recordLink(Defaults::shared(), 1, folder);
    return folder;
}

// A photo of the sandbox's catalog.
Medium catalogPhoto(test::SandboxFixture& sandbox)
{
    const auto listing = MediaResponse::fromJson(
        sandbox.call("GET", u"media/classic/latest?per_page=1"_s, sandbox.signInToken()).json());
    return listing->media->first();
}

} // namespace

class PhotoLoaderTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(m_sandbox.isRunning(), qPrintable(m_sandbox.errorString())); }

    void loadsFromFileSyncedCopyOrVariant_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("large");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<QString>("requested");

        QTest::newRow("local file") << u"local"_s << true << QString() << true << QString();
        QTest::newRow("synced file") << u"synced"_s << true << QString() << true << QString();
        QTest::newRow("large variant") << u"catalog"_s << true << QString() << true << u"2560x1440.jpg"_s;
        QTest::newRow("small variant") << u"catalog"_s << false << QString() << true << u"1920x1080.jpg"_s;
        QTest::newRow("missing photo") << u"catalog"_s << true << u"missing"_s << false << u"2560x1440.jpg"_s;
        QTest::newRow("short photo") << u"catalog"_s << false << u"short"_s << false << u"1920x1080.jpg"_s;
        QTest::newRow("missing local file") << u"missing local"_s << true << QString() << false << QString();
        QTest::newRow("file outside the photo folders")
            << u"stranger"_s << true << QString() << false << QString();
    }

    void loadsFromFileSyncedCopyOrVariant()
    {
        QFETCH(QString, source);
        QFETCH(bool, large);
        QFETCH(QString, fault);
        QFETCH(bool, loads);
        QFETCH(QString, requested);

        test::SyncHarness harness(m_sandbox);
        Medium medium = catalogPhoto(m_sandbox);
        const QString folder =
            source == u"stranger" ? harness.home.path() + u"/Elsewhere"_s : linkedFolder(harness);
        const QString file = folder + u"/own-photo.jpg"_s;
        if (source == u"local" || source == u"missing local" || source == u"stranger") {
            QVERIFY(QDir().mkpath(folder));
            if (source != u"missing local")
                QVERIFY(test::SyncHarness::writeJpeg(file, QSize(800, 600)));
            medium = Medium{.uuid = u"0a1b2c3d-local"_s, .localPath = file};
        }
        if (source == u"synced") {
            QVERIFY(harness.runPass());
            const QStringList synced = test::SyncHarness::photoNames(harness.sync().saverDir());
            QVERIFY(!synced.isEmpty());
            // The catalog photo whose copy the sync placed, known by the short id in the name.
            medium.uuid = QFileInfo(synced.first()).completeBaseName().right(8) + u"-0000-0000"_s;
        }
        if (!fault.isEmpty())
            QVERIFY(m_sandbox.addFault(QJsonObject{{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, fault}}));
        m_sandbox.clearRequests();

        PhotoLoader loader(harness.sync(), harness.api.network(), harness.screens);
        const std::optional<QImage> image = QCoro::waitFor(loader.image(medium, large));
        QCOMPARE(image.has_value(), loads);
        const QStringList requests = harness.cdnRequests();
        if (requested.isEmpty()) {
            QCOMPARE(requests, QStringList());
        } else {
            QCOMPARE(requests.size(), 1);
            QVERIFY2(requests.first().endsWith(requested), qPrintable(requests.first()));
        }
        QCOMPARE(loader.cache().count(), loads ? 1 : 0);

        // A second load comes from the cache, even once the file is gone; a failure is tried again.
        if (source == u"local")
            QVERIFY(QFile::remove(file));
        m_sandbox.clearFaults();
        const std::optional<QImage> again = QCoro::waitFor(loader.image(medium, large));
        QCOMPARE(again.has_value(), source != u"missing local" && source != u"stranger");
        if (loads)
            QCOMPARE(again->cacheKey(), image->cacheKey());
        QCOMPARE(harness.cdnRequests().size(), requests.size() + (loads ? 0 : int(again.has_value())));
        m_sandbox.clearFaults();
    }

    void keepsTheRecentlyUsedWithinItsBounds()
    {
        test::SyncHarness harness(m_sandbox);
        harness.setDisplay(QSize(3840, 2160));
        PhotoLoader loader(harness.sync(), harness.api.network(), harness.screens);
        const QString folder = linkedFolder(harness);
        QList<Medium> photos;
        for (int i = 0; i < 49; ++i) {
            const QString path = u"%1/photo-%2.jpg"_s.arg(folder).arg(i);
            QVERIFY(test::SyncHarness::writeJpeg(path, QSize(64, 36)));
            photos.append(Medium{.uuid = u"local-%1"_s.arg(i), .localPath = path});
        }
        for (const Medium& photo : photos)
            QVERIFY(QCoro::waitFor(loader.image(photo, true)));
        QCOMPARE(loader.cache().count(), 48);
        for (const Medium& photo : photos)
            QFile::remove(*photo.localPath);
        // The first photo went out for the 49th; the rest are still held.
        QVERIFY(!QCoro::waitFor(loader.image(photos.first(), true)));
        QVERIFY(QCoro::waitFor(loader.image(photos.at(1), true)));
        QVERIFY(QCoro::waitFor(loader.image(photos.last(), true)));

        loader.clear();
        QCOMPARE(loader.cache().count(), 0);
        QCOMPARE(loader.cache().bytes(), 0);
    }

    void holdsPhotosNoLargerThanCoversTheDisplay_data()
    {
        QTest::addColumn<QSize>("file");
        QTest::addColumn<QSize>("held");
        QTest::newRow("5K photo") << QSize(5120, 2880) << QSize(3840, 2160);
        QTest::newRow("tall photo") << QSize(4000, 8000) << QSize(3840, 7680);
        QTest::newRow("small photo") << QSize(1000, 500) << QSize(1000, 500);
    }

    void holdsPhotosNoLargerThanCoversTheDisplay()
    {
        QFETCH(QSize, file);
        QFETCH(QSize, held);
        test::SyncHarness harness(m_sandbox);
        harness.setDisplay(QSize(3840, 2160));
        PhotoLoader loader(harness.sync(), harness.api.network(), harness.screens);
        const QString path = linkedFolder(harness) + u"/big.jpg"_s;
        QVERIFY(test::SyncHarness::writeJpeg(path, file));
        const std::optional<QImage> image =
            QCoro::waitFor(loader.image(Medium{.uuid = u"big"_s, .localPath = path}, true));
        QVERIFY(image);
        QVERIFY2(qAbs(image->width() - held.width()) <= 1 && qAbs(image->height() - held.height()) <= 1,
                 qPrintable(u"%1x%2"_s.arg(image->width()).arg(image->height())));
    }

private:
    test::SandboxFixture m_sandbox;
};

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoLoaderTest)
#include "PhotoLoaderTest.moc"
