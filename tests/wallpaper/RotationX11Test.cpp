#include "imaging/ImagingThread.h"
#include "library/PlaylistSync.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/linux/QtScreens.h"
#include "platform/linux/X11RootWallpaperSetter.h"
#include "services/CrashReporter.h"
#include "support/FakeWakeWatcher.h"
#include "support/ManualClock.h"
#include "support/PrivateXServerMain.h"
#include "support/SandboxFixture.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"
#include "wallpaper/LibrarySyncedPhotos.h"
#include "wallpaper/RotationEngine.h"
#include "wallpaper/WallpaperService.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QThreadPool>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr int waitMs = 120'000;

/// The real X11 setter, refusing as many pictures as the test asks first.
class RefusingSetter final : public WallpaperSetter
{
public:
    explicit RefusingSetter(WallpaperSetter& real) : m_real(real) {}

    QCoro::Task<WallpaperSetResult> setWallpaper(WallpaperRequest request) override
    {
        if (refusals > 0) {
            --refusals;
            co_return WallpaperSetResult::failure(u"the desktop is busy"_s);
        }
        co_return co_await m_real.setWallpaper(std::move(request));
    }
    QStringList filesInUse() const override { return m_real.filesInUse(); }
    bool paintsPicture() const override { return m_real.paintsPicture(); }
    QString name() const override { return m_real.name(); }

    int refusals = 0;

private:
    WallpaperSetter& m_real;
};

// The mean colour of the 5x5 pixels around at.
QColor patchColor(const QImage& image, QPoint at)
{
    int red = 0, green = 0, blue = 0;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const QRgb rgb = image.pixel(at + QPoint(dx, dy));
            red += qRed(rgb);
            green += qGreen(rgb);
            blue += qBlue(rgb);
        }
    }
    return QColor(red / 25, green / 25, blue / 25);
}

} // namespace

/// The whole road on a private Xvfb with two RandR monitors: a sync from the sandbox, then the
/// rotation composing a synced photo for each monitor and the X root window showing it.
class RotationX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void aTickPutsADifferentSyncedPhotoOnEachMonitor();
    void nextWallpaperChangesBoth();
    void aRefusedWallpaperIsTriedAgainAfter120Seconds();

private:
    /// Lets the manual clock run a second at a time; every step waits until the rotation is idle
    /// or waits for the clock itself.
    void runFor(std::chrono::seconds span);
    bool rotationIdle() const { return m_engine->runningTasks() == 0; }
    /// Each monitor of the root window shows the picture composed for it.
    void expectComposedOnScreen();
    QImage rootRegion(const QRect& rect);

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::ManualClock> m_clock;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<APIClient> m_api;
    std::unique_ptr<QtScreens> m_screens;
    Account m_account;
    std::unique_ptr<PlaylistSync> m_sync;
    std::unique_ptr<X11RootWallpaperSetter> m_x11;
    std::unique_ptr<RefusingSetter> m_setter;
    std::unique_ptr<LibrarySyncedPhotos> m_synced;
    WallpaperService* m_service = nullptr;
    test::FakeWakeWatcher m_wake;
    test::CallJournal m_journal;
    test::RecordingEvents m_events{m_journal};
    std::unique_ptr<RotationEngine> m_engine;
    QList<DisplayInfo> m_displays;
    QHash<QString, Medium> m_shown;
    xcb_connection_t* m_x = nullptr;
};

void RotationX11Test::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_clock = std::make_unique<test::ManualClock>(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    m_reporter = std::make_unique<CrashReporter>();
    m_api = std::make_unique<APIClient>(*m_reporter);
    const QString token = m_sandbox->signInToken();
    m_api->setToken(token);
    std::optional<User> user = User::fromJson(m_sandbox->call("GET", u"users"_s, token).json()[u"user"_s]);
    QVERIFY(user);
    user->fitDesktop = u"fit"_s;
    user->rotateDesktop = u"1minute"_s;
    const QList<Album> albums = AlbumsResponse::fromJson(m_sandbox->call("GET", u"albums"_s, token).json())
                                    .value_or(AlbumsResponse())
                                    .albums;
    m_account.setHasSessionToken(true);
    m_account.setUser(user);
    m_account.setAlbums(albums);
    m_account.setAlbumsLoaded(true);

    const QString photoDirectory = m_sandbox->homePath() + u"/Photos"_s;
    QVERIFY(QDir().mkpath(photoDirectory));
    Defaults::shared().setValue(keys::dataDir, photoDirectory);
    m_screens = std::make_unique<QtScreens>();
    m_displays = m_screens->displays();
    QCOMPARE(m_displays.size(), 2);
    m_sync = std::make_unique<PlaylistSync>(PlaylistSync::Services{
        .account = m_account,
        .defaults = Defaults::shared(),
        .api = *m_api,
        .screens = *m_screens,
        .clock = *m_clock,
        .reporter = *m_reporter,
    });

    m_x11 = std::make_unique<X11RootWallpaperSetter>(qgetenv("DISPLAY"));
    m_setter = std::make_unique<RefusingSetter>(*m_x11);
    m_synced = std::make_unique<LibrarySyncedPhotos>(photoDirectory, *m_sync, Defaults::shared());
    auto service =
        std::make_unique<WallpaperService>(m_api->network(), *m_setter, *m_clock, *m_reporter, *m_synced);
    m_service = service.get();
    m_engine = std::make_unique<RotationEngine>(
        RotationEngine::Services{m_account, *m_clock, Defaults::shared(), *m_api, *m_screens, m_wake, *m_sync,
                                 m_events},
        std::move(service));

    m_x = xcb_connect(qgetenv("DISPLAY").constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_x));

    // The sync brings the wallpaper playlist's photos first.
    m_sync->requestSync(0ms, false);
    QVERIFY(QTest::qWaitFor(
        [this] {
            if (m_sync->isIdle())
                return true;
            if (m_clock->sleeperCount() > 0)
                m_clock->advance(1s);
            return false;
        },
        waitMs));
    QCOMPARE(m_sync->paperIndex().size(), 24);
    m_sandbox->clearRequests();
}

void RotationX11Test::cleanupTestCase()
{
    if (m_engine) {
        m_engine->stop();
        QVERIFY(QTest::qWaitFor([this] { return rotationIdle(); }, waitMs));
        m_engine.reset();
    }
    QCoreApplication::processEvents();
    if (m_x)
        xcb_disconnect(m_x);
}

void RotationX11Test::aTickPutsADifferentSyncedPhotoOnEachMonitor()
{
    m_engine->start();
    QVERIFY(QTest::qWaitFor([this] { return rotationIdle(); }, waitMs));
    QVERIFY2(!m_engine->lastError(), qPrintable(m_engine->lastError().value_or(QString())));

    m_shown = m_engine->showing();
    const Medium left = m_shown.value(m_displays[0].key());
    const Medium right = m_shown.value(m_displays[1].key());
    QVERIFY(!left.uuid.isEmpty() && !right.uuid.isEmpty());
    QVERIFY(left.uuid != right.uuid);
    QVERIFY(m_sync->paperIndex().contains(left.shortId()));
    QVERIFY(m_sync->paperIndex().contains(right.shortId()));
    // Composed from the synced files: nothing was downloaded for the wallpaper.
    for (const QJsonValue& request : m_sandbox->requests())
        QVERIFY2(!request[u"path"_s].toString().startsWith(u"/cdn/"_s),
                 qPrintable(request[u"path"_s].toString()));
    expectComposedOnScreen();
}

void RotationX11Test::nextWallpaperChangesBoth()
{
    const QString leftBefore = m_service->currentFile(m_displays[0].key());
    bool changed = false;
    auto next = [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
        changed = co_await engine.changeWallpaper(true);
    };
    next(*m_engine, changed);
    QVERIFY(QTest::qWaitFor([this] { return rotationIdle(); }, waitMs));
    QVERIFY(changed);

    const QHash<QString, Medium> shown = m_engine->showing();
    QSet<QString> uuids;
    for (const DisplayInfo& display : std::as_const(m_displays)) {
        QVERIFY(shown.value(display.key()).uuid != m_shown.value(display.key()).uuid);
        uuids.insert(shown.value(display.key()).uuid);
    }
    QCOMPARE(uuids.size(), 2);
    QVERIFY(m_service->currentFile(m_displays[0].key()) != leftBefore);
    m_shown = shown;
    expectComposedOnScreen();
}

void RotationX11Test::aRefusedWallpaperIsTriedAgainAfter120Seconds()
{
    // The next timed change is due a minute after the last one; the desktop refuses all four tries
    // for each monitor.
    m_setter->refusals = 8;
    const QString leftBefore = m_service->currentFile(m_displays[0].key());
    runFor(90s);
    QCOMPARE(m_setter->refusals, 0);
    QVERIFY(m_engine->lastError());
    const std::optional<QDateTime> retryAt = m_engine->retryAt();
    QVERIFY(retryAt);
    QVERIFY(*retryAt > m_clock->now().addSecs(60));
    QCOMPARE(m_engine->showing(), m_shown);

    runFor(std::chrono::seconds(m_clock->now().secsTo(*retryAt) - 1));
    QCOMPARE(m_service->currentFile(m_displays[0].key()), leftBefore);
    runFor(31s);
    QVERIFY(!m_engine->lastError());
    QVERIFY(!m_engine->retryAt());
    QVERIFY(m_service->currentFile(m_displays[0].key()) != leftBefore);
    for (const DisplayInfo& display : std::as_const(m_displays))
        QVERIFY(m_engine->showing().value(display.key()).uuid != m_shown.value(display.key()).uuid);
    expectComposedOnScreen();
}

void RotationX11Test::runFor(std::chrono::seconds span)
{
    for (qint64 second = 0; second < span.count(); ++second) {
        m_clock->advance(1s);
        QCoreApplication::processEvents();
        // The loop is inside its tick while sets wait between their tries; the monitors are set
        // side by side, so the clock moves on only once no picture is being composed or painted.
        const auto working = [] {
            return QThreadPool::globalInstance()->activeThreadCount() > 0 ||
                   ImagingThread::pool().activeThreadCount() > 0;
        };
        QVERIFY(QTest::qWaitFor(
            [&] {
                if (rotationIdle())
                    return true;
                if (m_clock->sleeperCount() == 0 || working())
                    return false;
                QCoreApplication::processEvents();
                return m_clock->sleeperCount() > 0 && !working();
            },
            waitMs));
    }
}

void RotationX11Test::expectComposedOnScreen()
{
    for (const DisplayInfo& display : std::as_const(m_displays)) {
        const QImage composed(m_service->currentFile(display.key()));
        QCOMPARE(composed.size(), display.pixelSize);
        const QImage shown = rootRegion(display.geometry);
        QCOMPARE(shown.size(), display.geometry.size());
        for (int y = 1; y < 8; ++y) {
            for (int x = 1; x < 8; ++x) {
                const QPoint at(display.geometry.width() * x / 8, display.geometry.height() * y / 8);
                // Patches, not pixels: the root shows the picture before its JPEG encoding.
                const QColor expected = patchColor(composed, at);
                const QColor actual = patchColor(shown, at);
                QVERIFY2(std::abs(expected.red() - actual.red()) <= 12 &&
                             std::abs(expected.green() - actual.green()) <= 12 &&
                             std::abs(expected.blue() - actual.blue()) <= 12,
                         qPrintable(u"%1 at %2,%3 shows %4, composed %5"_s.arg(display.name)
                                        .arg(at.x())
                                        .arg(at.y())
                                        .arg(actual.name(), expected.name())));
            }
        }
    }
}

QImage RotationX11Test::rootRegion(const QRect& rect)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data->root;
    auto* reply = xcb_get_image_reply(m_x,
                                      xcb_get_image(m_x, XCB_IMAGE_FORMAT_Z_PIXMAP, root, qint16(rect.x()),
                                                    qint16(rect.y()), quint16(rect.width()),
                                                    quint16(rect.height()), ~0u),
                                      nullptr);
    if (!reply)
        return {};
    // Xvfb at depth 24: 32-bit little-endian 0x00RRGGBB, which is QImage's RGB32.
    QImage image(rect.size(), QImage::Format_RGB32);
    if (xcb_get_image_data_length(reply) >= int(image.sizeInBytes()))
        memcpy(image.bits(), xcb_get_image_data(reply), size_t(image.sizeInBytes()));
    std::free(reply);
    return image;
}

} // namespace lumi

int main(int argc, char** argv)
{
    return lumi::test::runOnPrivateXServer(argc, argv,
                                           [] { return std::make_unique<lumi::RotationX11Test>(); });
}

#include "RotationX11Test.moc"
