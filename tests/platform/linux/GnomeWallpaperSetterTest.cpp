#include "platform/linux/GnomeWallpaperSetter.h"
#include "model/Defaults.h"
#include "platform/linux/SpannedWallpaper.h"
#include "support/AccountEdits.h"
#include "support/FakeScreens.h"
#include "support/TemporaryHome.h"
#include "support/wallpaper/RotationRig.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/RotationEngine.h"
#include "wallpaper/WallpaperService.h"

#include <QCoroTask>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QString gsettingsGet(const QString& key)
{
    QProcess tool;
    tool.start(u"gsettings"_s, {u"get"_s, u"org.gnome.desktop.background"_s, key});
    tool.waitForFinished(20000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QString quotedUri(const QString& path)
{
    return u'\'' + QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) + u'\'';
}

QString pathOf(const QString& quoted)
{
    return QUrl(quoted.mid(1, quoted.size() - 2)).toLocalFile();
}

// How far apart two pictures look: the mean difference per channel of their 64x36 reductions.
double difference(const QImage& a, const QImage& b)
{
    const QSize small(64, 36);
    const QImage x = a.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    const QImage y = b.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < small.height(); ++row) {
        for (int column = 0; column < small.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * small.width() * small.height());
}

bool near(QRgb actual, const QColor& expected)
{
    return std::abs(qRed(actual) - expected.red()) <= 8 && std::abs(qGreen(actual) - expected.green()) <= 8 &&
           std::abs(qBlue(actual) - expected.blue()) <= 8;
}

} // namespace

/// The GNOME backend with the real gsettings tool and schemas, stored in a key file inside a
/// temporary home (GSETTINGS_BACKEND=keyfile).
class GnomeWallpaperSetterTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneDisplayShowsItsPictureZoomed();
    void severalDisplaysShareOneSpannedPicture_data();
    void severalDisplaysShareOneSpannedPicture();
    void failuresAreReported_data();
    void failuresAreReported();
    void displaysKeepTheirPicturesAcrossARestart();
    void everyChangeSpansItsOwnPictures_data();
    void everyChangeSpansItsOwnPictures();

private:
    /// A state file of the test's own, so one test's pictures never reach another.
    QString stateFile() const
    {
        return m_home->path() + u"/state/"_s + QString::fromLatin1(QTest::currentTestFunction()) + u'-' +
               QString::fromLatin1(QTest::currentDataTag()).left(8) + u".json"_s;
    }
    QString writeJpeg(const QString& name, QSize size, const QColor& color);
    void expectArea(const QImage& image, const QRect& area, const QColor& color);

    std::unique_ptr<test::TemporaryHome> m_home;
    QString m_folder;
};

void GnomeWallpaperSetterTest::initTestCase()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
    qputenv("GSETTINGS_BACKEND", "keyfile");
    m_folder = m_home->path() + u"/Wallpapers"_s;
    QVERIFY(QDir().mkpath(m_folder));
}

QString GnomeWallpaperSetterTest::writeJpeg(const QString& name, QSize size, const QColor& color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = m_folder + u'/' + name;
    return image.save(path, "JPEG", 95) ? path : QString();
}

void GnomeWallpaperSetterTest::expectArea(const QImage& image, const QRect& area, const QColor& color)
{
    const QRect inside = area.adjusted(3, 3, -3, -3);
    for (const QPoint point :
         {inside.topLeft(), inside.topRight(), inside.center(), inside.bottomLeft(), inside.bottomRight()}) {
        const QRgb actual = image.pixel(point);
        QVERIFY2(near(actual, color),
                 qPrintable(u"pixel %1,%2 is %3, expected %4"_s.arg(point.x()).arg(point.y()).arg(
                     QColor(actual).name(), color.name())));
    }
}

void GnomeWallpaperSetterTest::oneDisplayShowsItsPictureZoomed()
{
    test::FakeScreens screens({test::FakeScreens::display(u"eDP-1"_s, QRect(0, 0, 1440, 900), 2.0)});
    GnomeWallpaperSetter setter(screens, stateFile());
    // A quote in the path must survive the trip through GVariant text.
    const QString file = writeJpeg(u"it's-2880x1800-1.jpg"_s, QSize(2880, 1800), Qt::red);

    const WallpaperSetResult result =
        QCoro::waitFor(setter.setWallpaper({screens.displays().constFirst(), file}));
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(pathOf(gsettingsGet(u"picture-uri"_s)), file);
    QCOMPARE(gsettingsGet(u"picture-uri-dark"_s), gsettingsGet(u"picture-uri"_s));
    QCOMPARE(gsettingsGet(u"picture-options"_s), u"'zoom'"_s);
    QCOMPARE(setter.filesInUse(), QStringList{file});
}

void GnomeWallpaperSetterTest::severalDisplaysShareOneSpannedPicture_data()
{
    QTest::addColumn<QList<QRect>>("geometries");
    QTest::addColumn<QList<qreal>>("ratios");
    QTest::addColumn<QSize>("spannedSize");
    QTest::addColumn<QList<QRect>>("areas");

    QTest::newRow("side by side, different heights")
        << QList<QRect>{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}} << QList<qreal>{1, 1} << QSize(3200, 1080)
        << QList<QRect>{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    QTest::newRow("ratio 2 beside ratio 1: spanned at ratio 2")
        << QList<QRect>{{0, 0, 800, 500}, {800, 0, 640, 480}} << QList<qreal>{2, 1} << QSize(2880, 1000)
        << QList<QRect>{{0, 0, 1600, 1000}, {1600, 0, 1280, 960}};
    QTest::newRow("stacked, offset, second one left of the origin")
        << QList<QRect>{{0, 0, 1280, 720}, {-200, 720, 1024, 768}} << QList<qreal>{1, 1} << QSize(1480, 1488)
        << QList<QRect>{{200, 0, 1280, 720}, {0, 720, 1024, 768}};
}

void GnomeWallpaperSetterTest::severalDisplaysShareOneSpannedPicture()
{
    QFETCH(QList<QRect>, geometries);
    QFETCH(QList<qreal>, ratios);
    QFETCH(QSize, spannedSize);
    QFETCH(QList<QRect>, areas);

    const QList<DisplayInfo> displays{test::FakeScreens::display(u"A"_s, geometries[0], ratios[0]),
                                      test::FakeScreens::display(u"B"_s, geometries[1], ratios[1])};
    test::FakeScreens screens(displays);
    GnomeWallpaperSetter setter(screens, stateFile());
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).left(8);
    const QString red = writeJpeg(tag + u"-a.jpg"_s, displays[0].pixelSize, Qt::red);
    const QString blue = writeJpeg(tag + u"-b.jpg"_s, displays[1].pixelSize, Qt::blue);

    WallpaperSetResult result = QCoro::waitFor(setter.setWallpaper({displays[0], red}));
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QCOMPARE(gsettingsGet(u"picture-options"_s), u"'spanned'"_s);
    const QString first = pathOf(gsettingsGet(u"picture-uri"_s));
    QImage spanned(first);
    QCOMPARE(spanned.size(), spannedSize);
    expectArea(spanned, areas[0], Qt::red);
    expectArea(spanned, areas[1], Qt::black); // nothing set there yet

    result = QCoro::waitFor(setter.setWallpaper({displays[1], blue}));
    QVERIFY2(result.ok(), qPrintable(result.error()));
    const QString second = pathOf(gsettingsGet(u"picture-uri"_s));
    QVERIFY2(second != first, "a changed picture needs a new file name");
    QCOMPARE(gsettingsGet(u"picture-uri-dark"_s), quotedUri(second));
    spanned.load(second);
    QCOMPARE(spanned.size(), spannedSize);
    expectArea(spanned, areas[0], Qt::red);
    expectArea(spanned, areas[1], Qt::blue);
    // Whatever lies in neither display stays black.
    const QRect canvas(QPoint(0, 0), spannedSize);
    const QRegion gaps = QRegion(canvas).subtracted(QRegion(areas[0])).subtracted(QRegion(areas[1]));
    for (const QRect& gap : gaps)
        QVERIFY(near(spanned.pixel(gap.center()), Qt::black));

    const QStringList inUse = setter.filesInUse();
    for (const QString& file : {red, blue, second})
        QVERIFY2(inUse.contains(file), qPrintable(file));
}

void GnomeWallpaperSetterTest::failuresAreReported_data()
{
    QTest::addColumn<bool>("pictureExists");
    QTest::addColumn<bool>("toolOnPath");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing picture") << false << true << u"does not exist"_s;
    QTest::newRow("no gsettings tool") << true << false << u"cannot run gsettings"_s;
}

void GnomeWallpaperSetterTest::failuresAreReported()
{
    QFETCH(bool, pictureExists);
    QFETCH(bool, toolOnPath);
    QFETCH(QString, reason);

    test::FakeScreens screens({test::FakeScreens::display(u"A"_s, QRect(0, 0, 640, 480))});
    const QString file = pictureExists ? writeJpeg(u"failure.jpg"_s, QSize(640, 480), Qt::green)
                                       : m_folder + u"/missing.jpg"_s;
    const QString before = gsettingsGet(u"picture-uri"_s);
    const QByteArray path = qgetenv("PATH");
    if (!toolOnPath)
        qputenv("PATH", QFile::encodeName(m_home->path()));

    GnomeWallpaperSetter setter(screens, stateFile());
    const WallpaperSetResult result =
        QCoro::waitFor(setter.setWallpaper({screens.displays().constFirst(), file}));
    qputenv("PATH", path);

    QVERIFY(!result.ok());
    QVERIFY2(result.error().contains(reason), qPrintable(result.error()));
    QCOMPARE(gsettingsGet(u"picture-uri"_s), before);
    QVERIFY(setter.filesInUse().isEmpty());
}

void GnomeWallpaperSetterTest::displaysKeepTheirPicturesAcrossARestart()
{
    const QList<DisplayInfo> displays{test::FakeScreens::display(u"A"_s, QRect(0, 0, 640, 480)),
                                      test::FakeScreens::display(u"B"_s, QRect(640, 0, 640, 480))};
    test::FakeScreens screens(displays);
    const QString red = writeJpeg(u"restart-a.jpg"_s, displays[0].pixelSize, Qt::red);
    const QString blue = writeJpeg(u"restart-b.jpg"_s, displays[1].pixelSize, Qt::blue);
    const QString green = writeJpeg(u"restart-c.jpg"_s, displays[0].pixelSize, Qt::green);
    QString shown;
    {
        GnomeWallpaperSetter setter(screens, stateFile());
        for (const auto& [display, file] : {std::pair(displays[0], red), std::pair(displays[1], blue)}) {
            const WallpaperSetResult result = QCoro::waitFor(setter.setWallpaper({display, file}));
            QVERIFY2(result.ok(), qPrintable(result.error()));
        }
        shown = pathOf(gsettingsGet(u"picture-uri"_s));
    }

    GnomeWallpaperSetter restarted(screens, stateFile());
    // Known before the first change, so pruning and cache clearing spare them.
    const QStringList inUse = restarted.filesInUse();
    for (const QString& file : {red, blue, shown})
        QVERIFY2(inUse.contains(file), qPrintable(file));

    const WallpaperSetResult result = QCoro::waitFor(restarted.setWallpaper({displays[0], green}));
    QVERIFY2(result.ok(), qPrintable(result.error()));
    const QString spannedPath = pathOf(gsettingsGet(u"picture-uri"_s));
    const QImage spanned(spannedPath);
    expectArea(spanned, SpannedWallpaper::area(displays, displays[0]), Qt::green);
    expectArea(spanned, SpannedWallpaper::area(displays, displays[1]), Qt::blue);
    // Spanned pictures of earlier runs and tests go; the one shown and the one before stay.
    QCOMPARE(QDir(m_folder + u"/Spanned"_s).entryList({u"spanned-*.jpg"_s}, QDir::Files).size(), 2);
    QVERIFY(QFileInfo::exists(shown));
}

void GnomeWallpaperSetterTest::everyChangeSpansItsOwnPictures_data()
{
    QTest::addColumn<QList<QRect>>("geometries");

    QTest::newRow("side by side") << QList<QRect>{{0, 0, 1280, 720}, {1280, 0, 1280, 720}};
    QTest::newRow("stacked") << QList<QRect>{{0, 0, 1280, 720}, {0, 720, 1280, 720}};
    QTest::newRow("different sizes") << QList<QRect>{{0, 0, 1280, 720}, {1280, 0, 1280, 1024}};
}

void GnomeWallpaperSetterTest::everyChangeSpansItsOwnPictures()
{
    QFETCH(QList<QRect>, geometries);

    // The rotation of the demo account with the real wallpaper service, on two displays that take
    // their photos (different ones, fitted) from the sandbox's catalog, one change after another.
    test::RotationRig rig;
    const QList<DisplayInfo> displays{test::FakeScreens::display(u"A"_s, geometries[0]),
                                      test::FakeScreens::display(u"B"_s, geometries[1])};
    rig.screens.setDisplays(displays);
    test::editUser(rig.account, [](User& user) {
        user.fitDesktop = u"fit"_s;
        user.multiDisplayNextPaper = u"diff"_s;
    });
    GnomeWallpaperSetter setter(rig.screens, stateFile());
    LibrarySyncedPhotos synced(rig.sandbox.homePath() + u"/Documents"_s, rig.library, rig.defaults);
    auto owned =
        std::make_unique<WallpaperService>(rig.api.network(), setter, rig.clock, rig.reporter, synced);
    WallpaperService& service = *owned;
    RotationEngine engine(
        {rig.account, rig.clock, rig.defaults, rig.api, rig.screens, rig.wake, rig.library, rig.events},
        std::move(owned));

    // Every picture the desktop is told of, as GNOME's own monitor of the key sees it.
    QProcess monitor;
    QStringList told;
    connect(&monitor, &QProcess::readyReadStandardOutput, this, [&] {
        while (monitor.canReadLine())
            told.append(QString::fromUtf8(monitor.readLine()).trimmed().section(u' ', 1));
    });
    // Told of a new value until it listens: it may start after the first one.
    int primes = 0;
    QString primed;
    const auto prime = [&] {
        primed = quotedUri(m_folder + u"/primed-%1.jpg"_s.arg(++primes));
        QProcess::execute(u"gsettings"_s,
                          {u"set"_s, u"org.gnome.desktop.background"_s, u"picture-uri"_s, primed});
    };
    prime();
    monitor.start(u"gsettings"_s, {u"monitor"_s, u"org.gnome.desktop.background"_s, u"picture-uri"_s});
    QVERIFY(monitor.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT((prime(), !told.isEmpty()), 20'000);
    QTRY_COMPARE(told.last(), primed);

    QString before;
    for (int round = 0; round < 20; ++round) {
        const qsizetype mark = told.size();
        bool changed = false;
        auto next = [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
            changed = co_await engine.changeWallpaper(true);
        };
        next(engine, changed);
        QVERIFY(QTest::qWaitFor([&engine] { return engine.runningTasks() == 0; }, 60'000));
        QVERIFY2(changed, qPrintable(engine.lastError().value_or(QString())));

        // One spanned picture per change, under a new name, told to the desktop once, and still there.
        QCOMPARE(gsettingsGet(u"picture-options"_s), u"'spanned'"_s);
        const QString shown = pathOf(gsettingsGet(u"picture-uri"_s));
        QTRY_COMPARE_WITH_TIMEOUT(told.mid(mark), QStringList{quotedUri(shown)}, 20'000);
        QCOMPARE(gsettingsGet(u"picture-uri-dark"_s), quotedUri(shown));
        QVERIFY2(shown != before, qPrintable(shown));
        QVERIFY2(QFileInfo::exists(shown), qPrintable(u"round %1: %2 is gone"_s.arg(round).arg(shown)));
        before = shown;
        const QImage spanned(shown);
        QCOMPARE(spanned.size(), SpannedWallpaper::size(displays));
        // Each display's part is the picture this change composed for it.
        for (const DisplayInfo& display : displays) {
            const QImage composed(service.currentFile(display.key()));
            QCOMPARE(composed.size(), display.pixelSize);
            const double apart =
                difference(spanned.copy(SpannedWallpaper::area(displays, display)), composed);
            QVERIFY2(apart < 6, qPrintable(u"round %1, display %2: %3 apart from its new picture"_s.arg(round)
                                               .arg(display.name)
                                               .arg(apart)));
        }
    }
    monitor.kill();
    monitor.waitForFinished();
}

} // namespace lumi

QTEST_MAIN(lumi::GnomeWallpaperSetterTest)
#include "GnomeWallpaperSetterTest.moc"
