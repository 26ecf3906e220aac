#include "wallpaper/WallpaperService.h"
#include "library/LibraryLayout.h"
#include "library/LocalPhotos.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/LogStore.h"
#include "model/Medium.h"
#include "services/CrashReporter.h"
#include "support/FakeScreens.h"
#include "support/FakeWallpaperSetter.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"
#include "support/TestFiles.h"
#include "support/TestImages.h"
#include "support/wallpaper/FakeRotationLibrary.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/WallpaperFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(std::optional<lumi::WallpaperError>)

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QColor localRed(220, 30, 30);
const QColor syncedGreen(30, 200, 60);
const WallpaperFit fitted(WallpaperFit::fit);
const WallpaperFit filled(WallpaperFit::fill);

std::optional<WallpaperError> wallpaperErrorOf(const std::exception_ptr& failure)
{
    if (!failure)
        return std::nullopt;
    try {
        std::rethrow_exception(failure);
    } catch (const WallpaperError& error) {
        return error;
    } catch (...) {
        return WallpaperError::system(u"not a WallpaperError"_s);
    }
}

bool near(const QColor& actual, const QColor& expected)
{
    return std::abs(actual.red() - expected.red()) <= 16 &&
           std::abs(actual.green() - expected.green()) <= 16 &&
           std::abs(actual.blue() - expected.blue()) <= 16;
}

QColor centreOf(const QString& file)
{
    const QImage image(file);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

// Names ending exactly in ".jpg" (QDir's own name filters ignore case).
QStringList jpegNames(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    names.removeIf([](const QString& name) { return !name.endsWith(u".jpg"); });
    return names;
}

void age(const QString& path, int hours)
{
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600 * hours),
                     QFileDevice::FileModificationTime);
}

} // namespace

/// Applying a wallpaper end to end against the sandbox's CDN, a fake desktop and a manual clock:
/// where the photo comes from, what a download must bring, the retries, the names and the pruning.
class WallpaperServiceTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void takesTheFirstSourceThatIsThere_data();
    void takesTheFirstSourceThatIsThere();
    void acceptsOnlyAWholeVariant_data();
    void acceptsOnlyAWholeVariant();
    void reusesTheVariantAndNamesEveryChangeAnew();
    void displaysOfOneSizeShareOneDownload_data();
    void displaysOfOneSizeShareOneDownload();
    void aChangeReachesTheDesktopAsItAsks_data();
    void aChangeReachesTheDesktopAsItAsks();
    void failuresStopBeforeTheDesktop_data();
    void failuresStopBeforeTheDesktop();
    void retriesTheDesktopAfter0_2_5And10Seconds_data();
    void retriesTheDesktopAfter0_2_5And10Seconds();
    void aDesktopWithoutAWayFailsOnceWithoutAReport();
    void prunesToTheNewestButSparesPicturesInUse_data();
    void prunesToTheNewestButSparesPicturesInUse();
    void keepsTheNewest16Variants();
    void clearingTheCacheReappliesAndRedraws_data();
    void clearingTheCacheReappliesAndRedraws();
    void leftoversOfAnInterruptedRunGoAtStart();
    void shortIdKeepsHexDigits_data();
    void shortIdKeepsHexDigits();

private:
    std::exception_ptr apply(const Medium& photo, const DisplayInfo& display, bool useCdn = true,
                             bool forceDownload = false, WallpaperFit fit = WallpaperFit::fit,
                             std::optional<QString> title = {}, std::optional<CalendarOverlay> overlay = {});
    std::exception_ptr drive(QCoro::Task<void> task);
    QStringList cdnPaths();
    QStringList wallpaperLines() const;
    QString photoFile(const QString& path, const QColor& color);

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    Medium m_photo;
    QString m_base;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<test::ManualClock> m_clock;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<test::FakeWallpaperSetter> m_setter;
    test::FakeRotationLibrary m_library;
    std::unique_ptr<LibrarySyncedPhotos> m_synced;
    std::unique_ptr<WallpaperService> m_service;
    QList<CrashReport> m_reports;
    DisplayInfo m_display;
    std::unique_ptr<QTemporaryDir> m_logs;
};

void WallpaperServiceTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    const QJsonArray media =
        m_sandbox->call("GET", u"media/today?page=1&per_page=1"_s, m_sandbox->signInToken())
            .json()
            .toObject()
            .value(u"media"_s)
            .toArray();
    QVERIFY(!media.isEmpty());
    const std::optional<Medium> photo = Medium::fromJson(media.first());
    QVERIFY(photo);
    m_photo = *photo;
    m_base = m_sandbox->homePath() + u"/Pictures"_s;
    // The smallest catalog format: quick to draw and to fetch.
    m_display = test::FakeScreens::display(u"HDMI-1"_s, QRect(0, 0, 1280, 1024));
}

void WallpaperServiceTest::init()
{
    m_sandbox->clearFaults();
    m_sandbox->clearRequests();
    // A log of the test's own, so lines of earlier tests never count.
    m_logs = std::make_unique<QTemporaryDir>();
    LogStore::setShared(std::make_unique<LogStore>(m_logs->path()));
    QDir(WallpaperService::defaultDirectory()).removeRecursively();
    QDir(m_base).removeRecursively();

    m_network = std::make_unique<QNetworkAccessManager>();
    m_network->setProxy(QNetworkProxy::NoProxy);
    m_clock = std::make_unique<test::ManualClock>();
    m_reporter = std::make_unique<CrashReporter>();
    m_reports.clear();
    connect(m_reporter.get(), &CrashReporter::reported, this,
            [this](const CrashReport& report) { m_reports.append(report); });
    m_setter = std::make_unique<test::FakeWallpaperSetter>();
    Defaults::shared().remove(keys::linkedFolderBookmarks);
    m_library.index.clear();
    m_library.saverFiles.clear();
    m_synced = std::make_unique<LibrarySyncedPhotos>(m_base, m_library, Defaults::shared());
    m_service = std::make_unique<WallpaperService>(*m_network, *m_setter, *m_clock, *m_reporter, *m_synced);
}

void WallpaperServiceTest::cleanup()
{
    m_service.reset();
    m_synced.reset();
    m_setter.reset();
    m_reporter.reset();
    m_clock.reset();
    m_network.reset();
}

std::exception_ptr WallpaperServiceTest::apply(const Medium& photo, const DisplayInfo& display, bool useCdn,
                                               bool forceDownload, WallpaperFit fit,
                                               std::optional<QString> title,
                                               std::optional<CalendarOverlay> overlay)
{
    return drive(m_service->applyWallpaper(photo, display, overlay, fit, title, useCdn, forceDownload));
}

// Runs the task to its end, moving the manual clock a second at a time whenever it sleeps.
std::exception_ptr WallpaperServiceTest::drive(QCoro::Task<void> task)
{
    struct State
    {
        bool done = false;
        std::exception_ptr failure;
    };
    const auto state = std::make_shared<State>();
    auto watch = [](QCoro::Task<void> task, std::shared_ptr<State> state) -> QCoro::Task<void> {
        try {
            co_await task;
        } catch (...) {
            state->failure = std::current_exception();
        }
        state->done = true;
    }(std::move(task), state);
    while (!state->done) {
        if (!QTest::qWaitFor([&] { return state->done || m_clock->sleeperCount() > 0; }, 30'000)) {
            qWarning("the wallpaper task neither ended nor slept");
            return std::make_exception_ptr(WallpaperError::system(u"stuck"_s));
        }
        if (state->done)
            break;
        m_clock->advance(1s);
        // A woken sleeper resumes on the next turn of the event loop; let it before looking again.
        QCoreApplication::processEvents();
    }
    return state->failure;
}

QStringList WallpaperServiceTest::cdnPaths()
{
    QStringList paths;
    for (const QJsonValue& request : m_sandbox->requests()) {
        const QString path = request.toObject().value(u"path"_s).toString();
        if (path.startsWith(u"/cdn/"_s))
            paths.append(path);
    }
    return paths;
}

QStringList WallpaperServiceTest::wallpaperLines() const
{
    QStringList lines;
    for (const QString& line : LogStore::shared().recent()) {
        if (line.contains(u"[wallpaper] "_s))
            lines.append(line.mid(line.indexOf(u"[wallpaper] "_s) + 12));
    }
    return lines;
}

QString WallpaperServiceTest::photoFile(const QString& path, const QColor& color)
{
    return test::writeFile(path, test::jpegOf(test::solidImage(QSize(800, 640), color))) ? path : QString();
}

void WallpaperServiceTest::displaysOfOneSizeShareOneDownload_data()
{
    QTest::addColumn<bool>("oneChange"); // else a change and a chosen photo, started together
    QTest::addColumn<bool>("missing");   // the service answers 404 for the photo

    QTest::newRow("one photo on both displays") << true << false;
    QTest::newRow("a change and a chosen photo at once") << false << false;
    QTest::newRow("one photo on both displays, missing") << true << true;
    QTest::newRow("a change and a chosen photo at once, missing") << false << true;
}

void WallpaperServiceTest::displaysOfOneSizeShareOneDownload()
{
    QFETCH(bool, oneChange);
    QFETCH(bool, missing);

    constexpr int rounds = 20;
    const QJsonArray media =
        m_sandbox
            ->call("GET", u"media/classic/latest?page=1&per_page=%1"_s.arg(rounds), m_sandbox->signInToken())
            .json()
            .toObject()
            .value(u"media"_s)
            .toArray();
    QCOMPARE(media.size(), rounds);
    const QList<DisplayInfo> displays{test::FakeScreens::display(u"HDMI-1"_s, QRect(0, 0, 1280, 1024)),
                                      test::FakeScreens::display(u"HDMI-2"_s, QRect(1280, 0, 1280, 1024))};
    if (missing)
        QVERIFY(m_sandbox->addFault({{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, u"missing"_s}}));

    for (int round = 0; round < rounds; ++round) {
        // A photo with no synced copy: both displays need its 1280x1024 variant at the same time.
        const Medium photo = *Medium::fromJson(media[round]);
        m_sandbox->clearRequests();
        m_reports.clear();
        QList<std::exception_ptr> failures;
        auto both = [](WallpaperService& service, Medium photo, QList<DisplayInfo> displays, bool oneChange,
                       QList<std::exception_ptr>& failures) -> QCoro::Task<void> {
            QList<WallpaperPlacement> first{{photo, displays[0], std::nullopt}};
            QList<WallpaperPlacement> second{{photo, displays[1], std::nullopt}};
            if (oneChange) {
                first += second;
                QCoro::Task<QList<std::exception_ptr>> change =
                    service.applyWallpapers(first, std::nullopt, fitted, true, false);
                failures = co_await std::move(change);
                co_return;
            }
            QCoro::Task<QList<std::exception_ptr>> change =
                service.applyWallpapers(first, std::nullopt, fitted, true, false);
            QCoro::Task<QList<std::exception_ptr>> chosen =
                service.applyWallpapers(second, std::nullopt, fitted, true, false);
            failures = co_await std::move(change);
            failures += co_await std::move(chosen);
        };
        QVERIFY(!drive(both(*m_service, photo, displays, oneChange, failures)));

        QCOMPARE(failures.size(), 2);
        const QString variant = u"/cdn/%1/1280x1024c1.jpg"_s.arg(photo.uuid);
        QCOMPARE(cdnPaths(), QStringList{variant});
        for (qsizetype i = 0; i < 2; ++i) {
            QCOMPARE(wallpaperErrorOf(failures[i]),
                     missing ? std::optional(WallpaperError::download(404)) : std::nullopt);
            if (!missing)
                QVERIFY(QFileInfo(m_setter->shownOn(displays[i].name)).size() > 0);
        }
        // Each display has a picture of its own, and a failure is reported once.
        if (!missing)
            QVERIFY(m_setter->shownOn(u"HDMI-1"_s) != m_setter->shownOn(u"HDMI-2"_s));
        QCOMPARE(m_reports.size(), missing ? 1 : 0);
        const QStringList leftovers =
            QDir(m_service->photosDirectory()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(leftovers.filter(u".part"_s), QStringList());
    }
}

void WallpaperServiceTest::aChangeReachesTheDesktopAsItAsks_data()
{
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QList<qsizetype>>("changes");

    QTest::newRow("one picture over all displays: together") << true << QList<qsizetype>{2};
    QTest::newRow("a picture per display: each when ready") << false << QList<qsizetype>{1, 1};
}

void WallpaperServiceTest::aChangeReachesTheDesktopAsItAsks()
{
    QFETCH(bool, whole);
    QFETCH(QList<qsizetype>, changes);

    m_setter->wholeChanges = whole;
    const QList<DisplayInfo> displays{test::FakeScreens::display(u"HDMI-1"_s, QRect(0, 0, 1280, 1024)),
                                      test::FakeScreens::display(u"HDMI-2"_s, QRect(1280, 0, 1920, 1080))};
    QList<std::exception_ptr> failures;
    auto change = [](WallpaperService& service, Medium photo, QList<DisplayInfo> displays,
                     QList<std::exception_ptr>& failures) -> QCoro::Task<void> {
        QList<WallpaperPlacement> placements{{photo, displays[0], std::nullopt},
                                             {photo, displays[1], std::nullopt}};
        QCoro::Task<QList<std::exception_ptr>> applying =
            service.applyWallpapers(placements, std::nullopt, fitted, true, false);
        failures = co_await std::move(applying);
    };
    QVERIFY(!drive(change(*m_service, m_photo, displays, failures)));

    QCOMPARE(failures, (QList<std::exception_ptr>{nullptr, nullptr}));
    QCOMPARE(m_setter->changes(), changes);
    for (const DisplayInfo& display : displays)
        QCOMPARE(QImageReader(m_setter->shownOn(display.name)).size(), display.pixelSize);
}

void WallpaperServiceTest::takesTheFirstSourceThatIsThere_data()
{
    // Where the photo's own file lies: "library" (the photo directory), "linked" (a folder linked
    // here), "elsewhere", "escape" (through a symbolic link in the photo directory) or nowhere.
    QTest::addColumn<QString>("localIn");
    QTest::addColumn<QString>("syncedIn"); // "paper", "saver" or empty
    QTest::addColumn<bool>("useCdn");
    QTest::addColumn<bool>("forceDownload");
    QTest::addColumn<QString>("expected"); // "local", "synced" or "cdn"

    const QString none;
    QTest::newRow("the photo's own file first") << u"library"_s << u"paper"_s << true << false << u"local"_s;
    QTest::newRow("its own file also without the CDN")
        << u"library"_s << u"paper"_s << false << false << u"local"_s;
    QTest::newRow("its own file in a folder linked here")
        << u"linked"_s << none << true << false << u"local"_s;
    QTest::newRow("a file elsewhere is never read") << u"elsewhere"_s << none << true << false << u"cdn"_s;
    QTest::newRow("nor one behind a link out of the photo directory")
        << u"escape"_s << u"paper"_s << true << false << u"synced"_s;
    QTest::newRow("then the wallpaper folder's copy") << none << u"paper"_s << true << false << u"synced"_s;
    QTest::newRow("then the saver folder's copy") << none << u"saver"_s << true << false << u"synced"_s;
    QTest::newRow("the CDN when nothing is on disk") << none << none << true << false << u"cdn"_s;
    QTest::newRow("without the CDN, synced copies are not used")
        << none << u"paper"_s << false << false << u"cdn"_s;
    QTest::newRow("a forced download skips the synced copy")
        << none << u"paper"_s << true << true << u"cdn"_s;
}

void WallpaperServiceTest::takesTheFirstSourceThatIsThere()
{
    QFETCH(QString, localIn);
    QFETCH(QString, syncedIn);
    QFETCH(bool, useCdn);
    QFETCH(bool, forceDownload);
    QFETCH(QString, expected);

    Medium photo = m_photo;
    const QString desktop = m_sandbox->homePath() + u"/Desktop"_s;
    if (localIn == u"library") {
        photo.localPath = photoFile(m_base + u"/Mine/mine.jpg"_s, localRed);
    } else if (!localIn.isEmpty()) {
        QVERIFY(!photoFile(desktop + u"/mine.jpg"_s, localRed).isEmpty());
        photo.localPath = desktop + u"/mine.jpg"_s;
    }
    if (localIn == u"linked")
        LocalPhotos::recordLink(Defaults::shared(), 7, desktop);
    if (localIn == u"escape") {
        QVERIFY(QDir().mkpath(m_base));
        QVERIFY(QFile::link(desktop, m_base + u"/Escape"_s));
        photo.localPath = m_base + u"/Escape/mine.jpg"_s;
    }
    const LibraryLayout layout = LibraryLayout::at(m_base);
    if (!syncedIn.isEmpty()) {
        const bool paper = syncedIn == u"paper";
        const QString file =
            (paper ? layout.paperDir : layout.saverDir) + u"/Harbour-"_s + photo.shortId() + u".jpg"_s;
        QVERIFY(!photoFile(file, syncedGreen).isEmpty());
        (paper ? m_library.index : m_library.saverFiles).insert(photo.shortId(), file);
    }

    QCOMPARE(wallpaperErrorOf(apply(photo, m_display, useCdn, forceDownload)), std::nullopt);
    QCOMPARE(m_setter->requests().size(), 1);
    const QString shown = m_setter->requests().first().file;
    const QStringList fetched = cdnPaths();
    if (expected == u"cdn") {
        QCOMPARE(fetched, QStringList{u"/cdn/%1/1280x1024c1.jpg"_s.arg(photo.uuid)});
        QVERIFY(QFileInfo::exists(m_service->photosDirectory() + u'/' + WallpaperFiles::shortId(photo.uuid) +
                                  u"-1280x1024.jpg"_s));
    } else {
        QCOMPARE(fetched, QStringList());
        QVERIFY(near(centreOf(shown), expected == u"local" ? localRed : syncedGreen));
    }
}

void WallpaperServiceTest::acceptsOnlyAWholeVariant_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<std::optional<WallpaperError>>("error");
    QTest::addColumn<QString>("report");

    QTest::newRow("a whole photo") << QJsonObject() << std::optional<WallpaperError>() << QString();
    QTest::newRow("404 is reported as a missing variant")
        << QJsonObject{{u"photo"_s, u"missing"_s}} << std::optional(WallpaperError::download(404))
        << u"wallpaper variant missing (HTTP 404)"_s;
    QTest::newRow("403 likewise") << QJsonObject{{u"status"_s, 403}}
                                  << std::optional(WallpaperError::download(403))
                                  << u"wallpaper variant missing (HTTP 403)"_s;
    QTest::newRow("500 is not reported")
        << QJsonObject{{u"status"_s, 500}} << std::optional(WallpaperError::download(500)) << QString();
    QTest::newRow("no answer at all is status 0")
        << QJsonObject{{u"drop"_s, true}} << std::optional(WallpaperError::download(0)) << QString();
    QTest::newRow("a cut-off photo") << QJsonObject{{u"photo"_s, u"short"_s}}
                                     << std::optional(WallpaperError::tooSmall()) << QString();
    QTest::newRow("32767 bytes are too few") << QJsonObject{{u"status"_s, 200},
                                                            {u"contentType"_s, u"image/jpeg"_s},
                                                            {u"body"_s, QString(32767, u'x')}}
                                             << std::optional(WallpaperError::tooSmall()) << QString();
    // Enough bytes pass the download; that they are no photo shows only when composing.
    QTest::newRow("32768 bytes pass, then fail to compose")
        << QJsonObject{{u"status"_s, 200},
                       {u"contentType"_s, u"image/jpeg"_s},
                       {u"body"_s, QString(32768, u'x')}}
        << std::optional(WallpaperError::unreadable()) << u"compose failed"_s;
}

void WallpaperServiceTest::acceptsOnlyAWholeVariant()
{
    QFETCH(QJsonObject, fault);
    QFETCH(std::optional<WallpaperError>, error);
    QFETCH(QString, report);

    if (!fault.isEmpty()) {
        fault.insert(u"path"_s, u"/cdn/%1/*"_s.arg(m_photo.uuid));
        QVERIFY(m_sandbox->addFault(fault));
    }
    const std::optional<WallpaperError> failure = wallpaperErrorOf(apply(m_photo, m_display));
    QCOMPARE(failure, error);
    if (error)
        QVERIFY(error->message().contains(u"(%1)"_s.arg(error->status())) ||
                error->kind() != WallpaperError::Kind::download);

    // Only a good variant is kept, nothing half-done is left, and the desktop sees only a good picture.
    const QString variant = WallpaperFiles::shortId(m_photo.uuid) + u"-1280x1024.jpg"_s;
    QCOMPARE(QDir(m_service->photosDirectory()).entryList(QDir::Files),
             error ? QStringList() : QStringList{variant});
    QCOMPARE(jpegNames(m_service->directory()).size(), error ? 0 : 1);
    QCOMPARE(m_setter->requests().size(), error ? 0 : 1);
    QCOMPARE(m_reports.size(), report.isEmpty() ? 0 : 1);
    if (!report.isEmpty()) {
        QCOMPARE(m_reports.first().process, u"wallpaper"_s);
        QCOMPARE(m_reports.first().message, report);
        QCOMPARE(m_reports.first().fingerprint, CrashReport::fingerprintOf({u"wallpaper"_s, report}));
    }
}

void WallpaperServiceTest::reusesTheVariantAndNamesEveryChangeAnew()
{
    // 3024x1964 pixels are closest to the 3456x2234 format; the files are named after the format.
    const DisplayInfo display = test::FakeScreens::display(u"eDP-1"_s, QRect(0, 0, 1512, 982), 2);
    CalendarOverlay overlay;
    overlay.request.theme = u"classic"_s;
    overlay.baseSize = CalendarRenderer::imageSize(overlay.request);
    const QString variant = WallpaperFiles::shortId(m_photo.uuid) + u"-3456x2234"_s;
    const QString variantFile = m_service->photosDirectory() + u'/' + variant + u".jpg"_s;

    QCOMPARE(wallpaperErrorOf(apply(m_photo, display, true, false, filled, u"Harbour"_s, overlay)),
             std::nullopt);
    age(variantFile, 24 * 30);
    QCOMPARE(wallpaperErrorOf(apply(m_photo, display, true, false, filled, u"Harbour"_s, overlay)),
             std::nullopt);

    QCOMPARE(cdnPaths(), QStringList{u"/cdn/%1/3456x2234c1.jpg"_s.arg(m_photo.uuid)});
    // Reuse marks the variant as recently used, so pruning keeps it.
    QCOMPARE(QFileInfo(variantFile).lastModified().toMSecsSinceEpoch(), m_clock->now().toMSecsSinceEpoch());
    // Both changes happened in the same millisecond and still got names of their own.
    const qint64 ms = m_clock->now().toMSecsSinceEpoch();
    const QString folder = m_service->directory() + u'/';
    QCOMPARE(m_setter->requests().size(), 2);
    QCOMPARE(m_setter->requests().at(0).file, folder + u"%1-%2.jpg"_s.arg(variant).arg(ms));
    QCOMPARE(m_setter->requests().at(1).file, folder + u"%1-%2.jpg"_s.arg(variant).arg(ms + 1));
    QCOMPARE(wallpaperLines().last(), u"set %1 on display %2 at 3456x2234, fill with calendar with title"_s
                                          .arg(WallpaperFiles::shortId(m_photo.uuid))
                                          .arg(display.number));
}

void WallpaperServiceTest::failuresStopBeforeTheDesktop_data()
{
    QTest::addColumn<bool>("withBase");
    QTest::addColumn<QByteArray>("localBytes"); // empty: no local file
    QTest::addColumn<std::optional<WallpaperError>>("error");
    QTest::addColumn<QString>("report");

    QTest::newRow("no file and no CDN address")
        << false << QByteArray() << std::optional(WallpaperError::noImage()) << QString();
    QTest::newRow("a local file that is no photo")
        << true << QByteArray("not a photo") << std::optional(WallpaperError::unreadable())
        << u"compose failed"_s;
}

void WallpaperServiceTest::failuresStopBeforeTheDesktop()
{
    QFETCH(bool, withBase);
    QFETCH(QByteArray, localBytes);
    QFETCH(std::optional<WallpaperError>, error);
    QFETCH(QString, report);

    Medium photo = m_photo;
    if (!withBase)
        photo.secureBaseUrl.reset();
    const QString local = m_base + u"/Mine/notes.jpg"_s;
    if (!localBytes.isEmpty()) {
        QVERIFY(test::writeFile(local, localBytes));
        photo.localPath = local;
    }

    QCOMPARE(wallpaperErrorOf(apply(photo, m_display)), error);
    QCOMPARE(m_setter->requests().size(), 0);
    QCOMPARE(jpegNames(m_service->directory()), QStringList());
    QCOMPARE(cdnPaths(), QStringList());
    if (!localBytes.isEmpty())
        QCOMPARE(test::contentOf(local), localBytes); // the user's file is never touched
    QCOMPARE(m_reports.size(), report.isEmpty() ? 0 : 1);
    if (!report.isEmpty()) {
        QCOMPARE(m_reports.first().message, report);
        QVERIFY(m_reports.first().stack.startsWith(WallpaperFiles::shortId(photo.uuid) + u"-1280x1024: "_s));
    }
}

void WallpaperServiceTest::retriesTheDesktopAfter0_2_5And10Seconds_data()
{
    QTest::addColumn<int>("refusals");
    QTest::addColumn<int>("tries");
    QTest::addColumn<int>("waitedSeconds");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("accepted at once") << 0 << 1 << 0 << true;
    QTest::newRow("second try after 2 s") << 1 << 2 << 2 << true;
    QTest::newRow("fourth try after 17 s in all") << 3 << 4 << 17 << true;
    QTest::newRow("four refusals fail the change") << 4 << 4 << 17 << false;
}

void WallpaperServiceTest::retriesTheDesktopAfter0_2_5And10Seconds()
{
    QFETCH(int, refusals);
    QFETCH(int, tries);
    QFETCH(int, waitedSeconds);
    QFETCH(bool, succeeds);

    Medium photo = m_photo;
    photo.localPath = photoFile(m_base + u"/Mine/mine.jpg"_s, localRed);
    m_setter->failNext(refusals, u"the desktop is busy"_s);
    const std::chrono::milliseconds start = m_clock->monotonic();

    const std::optional<WallpaperError> failure = wallpaperErrorOf(apply(photo, m_display));
    QCOMPARE(failure,
             succeeds ? std::nullopt : std::optional(WallpaperError::system(u"the desktop is busy"_s)));
    QCOMPARE(m_setter->requests().size(), tries);
    QCOMPARE(m_clock->monotonic() - start, std::chrono::milliseconds(std::chrono::seconds(waitedSeconds)));
    QCOMPARE(wallpaperLines().count(
                 u"setting the wallpaper through fake failed (retrying): the desktop is busy"_s),
             refusals);
    // Every try offers the same composed file; after a failure it stays for a later prune.
    for (const WallpaperRequest& request : m_setter->requests())
        QCOMPARE(request.file, m_setter->requests().first().file);
    QVERIFY(QFileInfo::exists(m_setter->requests().first().file));
    QCOMPARE(m_reports.size(), succeeds ? 0 : 1);
    if (!succeeds) {
        QCOMPARE(m_reports.first().message, u"setting the wallpaper failed after retries"_s);
        QCOMPARE(m_reports.first().stack, u"fake: the desktop is busy"_s);
    }
}

void WallpaperServiceTest::aDesktopWithoutAWayFailsOnceWithoutAReport()
{
    Medium photo = m_photo;
    photo.localPath = photoFile(m_base + u"/Mine/mine.jpg"_s, localRed);
    m_setter->refuseForGood(u"no way here"_s);
    const std::chrono::milliseconds start = m_clock->monotonic();

    QCOMPARE(wallpaperErrorOf(apply(photo, m_display)),
             std::optional(WallpaperError::system(u"no way here"_s)));
    QCOMPARE(m_setter->requests().size(), 1);
    QCOMPARE(m_clock->monotonic(), start);
    QCOMPARE(m_reports.size(), 0);
    QCOMPARE(wallpaperLines(), QStringList{u"fake can't set wallpapers: no way here"_s});
    // The composed picture stays for the user to set by hand.
    QVERIFY(QFileInfo::exists(m_setter->requests().first().file));
}

void WallpaperServiceTest::prunesToTheNewestButSparesPicturesInUse_data()
{
    QTest::addColumn<int>("older");
    QTest::addColumn<int>("inUse"); // age in hours of the picture another display shows; 0: none
    QTest::addColumn<QStringList>("removed");

    QTest::newRow("nine pictures: the oldest goes") << 8 << 0 << QStringList{u"old-8.jpg"_s};
    QTest::newRow("unless another display shows it") << 8 << 8 << QStringList();
    QTest::newRow("twelve pictures: four go, one is spared")
        << 11 << 9 << QStringList{u"old-8.jpg"_s, u"old-10.jpg"_s, u"old-11.jpg"_s};
}

void WallpaperServiceTest::prunesToTheNewestButSparesPicturesInUse()
{
    QFETCH(int, older);
    QFETCH(int, inUse);
    QFETCH(QStringList, removed);

    const QString folder = m_service->directory();
    QStringList before;
    for (int hours = 1; hours <= older; ++hours) {
        const QString name = u"old-%1.jpg"_s.arg(hours);
        QVERIFY(test::writeFile(folder + u'/' + name));
        age(folder + u'/' + name, hours);
        before.append(name);
    }
    // Only ".jpg" exactly is ours to prune.
    for (const QString& other : {u"Keep.JPG"_s, u"notes.png"_s}) {
        QVERIFY(test::writeFile(folder + u'/' + other));
        age(folder + u'/' + other, 100);
    }
    if (inUse > 0) {
        const DisplayInfo other = test::FakeScreens::display(u"DP-2"_s, QRect(1280, 0, 1280, 1024));
        const WallpaperRequest request{other, folder + u"/old-%1.jpg"_s.arg(inUse)};
        QVERIFY(QCoro::waitFor(m_setter->setWallpaper(request)).ok());
    }

    Medium photo = m_photo;
    photo.localPath = photoFile(m_base + u"/Mine/mine.jpg"_s, localRed);
    QCOMPARE(wallpaperErrorOf(apply(photo, m_display)), std::nullopt);

    QStringList expected = before;
    for (const QString& name : removed)
        expected.removeOne(name);
    expected.append(QFileInfo(m_setter->requests().last().file).fileName());
    expected.sort();
    QCOMPARE(jpegNames(folder), expected);
    QVERIFY(QFileInfo::exists(folder + u"/Keep.JPG"_s));
    QVERIFY(QFileInfo::exists(folder + u"/notes.png"_s));
}

void WallpaperServiceTest::keepsTheNewest16Variants()
{
    const QString photos = m_service->photosDirectory();
    for (int hours = 1; hours <= 17; ++hours) {
        const QString path = photos + u"/%1-1280x1024.jpg"_s.arg(hours, 8, 10, QChar(u'0'));
        QVERIFY(test::writeFile(path));
        age(path, hours);
    }
    QCOMPARE(wallpaperErrorOf(apply(m_photo, m_display)), std::nullopt);

    const QStringList left = jpegNames(photos);
    QCOMPARE(left.size(), 16);
    QVERIFY(left.contains(WallpaperFiles::shortId(m_photo.uuid) + u"-1280x1024.jpg"_s));
    QVERIFY(!left.contains(u"00000016-1280x1024.jpg"_s));
    QVERIFY(!left.contains(u"00000017-1280x1024.jpg"_s));
}

void WallpaperServiceTest::clearingTheCacheReappliesAndRedraws_data()
{
    QTest::addColumn<QString>("folderState"); // "pictures", "missing" or "unreadable"
    QTest::addColumn<std::optional<QString>>("result");

    QTest::newRow("stale pictures go, the shown one stays") << u"pictures"_s << std::optional<QString>();
    QTest::newRow("no folder at all") << u"missing"_s << std::optional<QString>();
    QTest::newRow("a folder that can't be read fails")
        << u"unreadable"_s
        << std::optional(u"Failed to clear wallpaper cache: %1 can't be read"_s.arg(
               WallpaperService::defaultDirectory()));
}

void WallpaperServiceTest::clearingTheCacheReappliesAndRedraws()
{
    QFETCH(QString, folderState);
    QFETCH(std::optional<QString>, result);

    const QString folder = m_service->directory();
    Medium photo = m_photo;
    photo.localPath = photoFile(m_base + u"/Mine/mine.jpg"_s, localRed);
    QCOMPARE(wallpaperErrorOf(apply(photo, m_display)), std::nullopt);
    const QString shown = m_setter->requests().first().file;
    QVERIFY(test::writeFile(folder + u"/stale-1.jpg"_s));
    QVERIFY(test::writeFile(folder + u"/Photos/kept-1280x1024.jpg"_s));
    if (folderState == u"missing") {
        QVERIFY(QDir(folder).removeRecursively());
    } else if (folderState == u"unreadable") {
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(test::writeFile(folder));
    }
    int redraws = 0;
    m_service->setRedrawRequest([&] { ++redraws; });

    std::optional<std::optional<QString>> answer;
    auto run = [](WallpaperService* service,
                  std::optional<std::optional<QString>>* answer) -> QCoro::Task<void> {
        *answer = co_await service->clearWallpaperCacheAndReport();
    }(m_service.get(), &answer);
    QTRY_VERIFY(answer);

    QCOMPARE(*answer, result);
    QCOMPARE(redraws, result ? 0 : 1);
    if (folderState == u"pictures") {
        QCOMPARE(jpegNames(folder), QStringList{QFileInfo(shown).fileName()});
        QVERIFY(QFileInfo::exists(folder + u"/Photos/kept-1280x1024.jpg"_s));
        QCOMPARE(m_setter->requests().size(), 2);
        QCOMPARE(m_setter->requests().last().file, shown);
        QCOMPARE(m_setter->requests().last().display, m_display);
    } else {
        QCOMPARE(m_setter->requests().size(), 1);
    }
    const QString expectedLine = result ? u"[wallpaper-cache] Wallpapers: %1 can't be read"_s.arg(folder)
                                        : u"[wallpaper-cache] wallpaper cache cleared"_s;
    QVERIFY(LogStore::shared().recent().last().endsWith(expectedLine));
}

void WallpaperServiceTest::leftoversOfAnInterruptedRunGoAtStart()
{
    m_service.reset();
    const QString folder = WallpaperService::defaultDirectory();
    QFile::remove(folder); // an earlier test may leave a file in its place
    const QStringList leftovers{folder + u"/.3f9a01bc-1280x1024-5.jpg.tmp-k2j4"_s,
                                folder + u"/Photos/3f9a01bc-1280x1024.jpg.part"_s,
                                folder + u"/Spanned/.spanned-17.jpg.tmp-x8q1"_s};
    const QStringList kept{folder + u"/3f9a01bc-1280x1024-4.jpg"_s,
                           folder + u"/Photos/3f9a01bc-1280x1024.jpg"_s, folder + u"/notes.part"_s,
                           folder + u"/Spanned/spanned-16.jpg"_s};
    for (const QString& path : leftovers + kept)
        QVERIFY(test::writeFile(path, QByteArray(100, 'x')));

    m_service = std::make_unique<WallpaperService>(*m_network, *m_setter, *m_clock, *m_reporter, *m_synced);
    for (const QString& path : leftovers)
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    for (const QString& path : kept)
        QVERIFY2(QFile::exists(path), qPrintable(path));
}

void WallpaperServiceTest::shortIdKeepsHexDigits_data()
{
    QTest::addColumn<QString>("uuid");
    QTest::addColumn<QString>("shortId");

    QTest::newRow("dashes dropped, lower-cased") << u"3F9A-01BC-77d2"_s << u"3f9a01bc"_s;
    QTest::newRow("letters past f dropped") << u"zz3g9h-a"_s << u"39a"_s;
    QTest::newRow("no hex digits") << u"xyz-"_s << u"photo"_s;
    QTest::newRow("empty") << QString() << u"photo"_s;
}

void WallpaperServiceTest::shortIdKeepsHexDigits()
{
    QFETCH(QString, uuid);
    QFETCH(QString, shortId);
    QCOMPARE(WallpaperFiles::shortId(uuid), shortId);
}

} // namespace lumi

QTEST_MAIN(lumi::WallpaperServiceTest)
#include "WallpaperServiceTest.moc"
