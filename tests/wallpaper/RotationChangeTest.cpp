#include "model/DefaultsKeys.h"
#include "support/AccountEdits.h"
#include "support/wallpaper/RotationRig.h"
#include "wallpaper/RotationRecord.h"
#include "wallpaper/WallpaperError.h"

#include <QCollator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString playlistListing = u"GET /media/playlists/mountain-mornings?page=1&per_page=500"_s;
const QString emptyPoolText =
    u"There are no photos to show. Add photos to a playlist and use it for your wallpaper."_s;

QStringList keysOf(const QVariant& bytes)
{
    return QJsonDocument::fromJson(bytes.toByteArray()).object().keys();
}

void inTitleOrder(const QList<Medium>& photos)
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (qsizetype i = 1; i < photos.size(); ++i) {
        QVERIFY2(collator.compare(photos[i - 1].displayTitle(), photos[i].displayTitle()) <= 0,
                 qPrintable(photos[i - 1].displayTitle() + u" before "_s + photos[i].displayTitle()));
    }
}

} // namespace

/// One wallpaper change over every display, the record it leaves, and the back-off after failures.
class RotationChangeTest final : public QObject
{
    Q_OBJECT

private slots:
    void spreadsTheQueueOverDisplays_data();
    void spreadsTheQueueOverDisplays();
    void continuesAfterARestart_data();
    void continuesAfterARestart();
    void composesWithTheUsersLook_data();
    void composesWithTheUsersLook();
    void forgetsUnpluggedDisplays();
    void backsOffAfterFailures();
    void alertsOnlyWhenTheUserAsked_data();
    void alertsOnlyWhenTheUserAsked();
    void aFailingDisplayLeavesTheChangeUnrecorded();
    void resetForgetsTheRecordButNotTheBackoff();
    void changesNothingWithoutASession();
};

void RotationChangeTest::spreadsTheQueueOverDisplays_data()
{
    QTest::addColumn<int>("screens");
    QTest::addColumn<bool>("samePhoto");
    for (int screens : {1, 2, 3}) {
        QTest::addRow("%d screens, a photo each", screens) << screens << false;
        QTest::addRow("%d screens, one photo for all", screens) << screens << true;
    }
}

void RotationChangeTest::spreadsTheQueueOverDisplays()
{
    QFETCH(int, screens);
    QFETCH(bool, samePhoto);
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) {
        user.paperRandom = false;
        user.multiDisplayNextPaper = samePhoto ? u"same"_s : u"diff"_s;
    });
    const QList<DisplayInfo> displays = test::RotationRig::displays(screens);
    rig.screens.setDisplays(displays);
    RotationEngine& engine = rig.engine();

    // The demo's wallpaper playlist holds 24 photos: one full pass through the queue.
    const int photosPerChange = samePhoto ? 1 : screens;
    const int changes = 24 / photosPerChange;
    QList<Medium> sequence;
    for (int change = 0; change < changes; ++change) {
        rig.applier().clear();
        QVERIFY(rig.change());
        const QList<test::RecordingApplier::Call>& calls = rig.applier().calls();
        QCOMPARE(calls.size(), screens);
        QSet<QString> distinct;
        for (int i = 0; i < screens; ++i) {
            QCOMPARE(calls[i].display, displays[i]);
            QCOMPARE(engine.showing().value(displays[i].key()), calls[i].photo);
            distinct.insert(calls[i].photo.uuid);
            if (i < photosPerChange)
                sequence.append(calls[i].photo);
        }
        QCOMPARE(distinct.size(), photosPerChange);
        QCOMPARE(engine.nowShowing(), calls.first().photo);
    }

    // Every photo once, in title order, from a pool fetched once.
    QSet<QString> shown;
    for (const Medium& photo : std::as_const(sequence))
        shown.insert(photo.uuid);
    QCOMPARE(shown.size(), 24);
    inTitleOrder(sequence);
    QCOMPARE(rig.requestLines(), QStringList{playlistListing});
}

void RotationChangeTest::continuesAfterARestart_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::newRow("title order") << false;
    QTest::newRow("shuffled") << true;
}

void RotationChangeTest::continuesAfterARestart()
{
    QFETCH(bool, shuffle);
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) { user.paperRandom = shuffle; });
    RotationEngine& first = rig.engine();
    QVERIFY(rig.change());
    const Medium shown = *first.nowShowing();
    const QHash<QString, Medium> byDisplay = first.showing();
    const Medium next = first.pool().queued().first();

    RotationEngine& second = rig.restart();
    QCOMPARE(second.nowShowing(), shown);
    QCOMPARE(second.showing(), byDisplay);
    QVERIFY(rig.change());
    if (shuffle)
        QVERIFY(rig.applier().calls().first().photo.uuid != shown.uuid);
    else
        QCOMPARE(rig.applier().calls().first().photo, next);
}

void RotationChangeTest::composesWithTheUsersLook_data()
{
    QTest::addColumn<std::optional<QString>>("fit");
    QTest::addColumn<std::optional<QString>>("titleSize");
    QTest::addColumn<std::optional<QString>>("calendarSize");
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("fitKey");

    QTest::newRow("fit, titles, calendar") << std::optional(u"fit"_s) << std::optional(u"small"_s)
                                           << std::optional(u"large"_s) << QString() << u"fit|title"_s;
    QTest::newRow("fill without titles, no calendar") << std::optional(u"fill"_s) << std::optional(u"none"_s)
                                                      << std::optional(u"zero"_s) << QString() << u"fill"_s;
    QTest::newRow("nothing set") << std::optional<QString>() << std::optional<QString>()
                                 << std::optional<QString>() << QString() << u"fill"_s;
    QTest::newRow("fill with titles, away from the CDN")
        << std::optional(u"Fit"_s) << std::optional(u"small"_s) << std::optional<QString>()
        << u"beta|no-cdn"_s << u"fill|title"_s;
}

void RotationChangeTest::composesWithTheUsersLook()
{
    QFETCH(std::optional<QString>, fit);
    QFETCH(std::optional<QString>, titleSize);
    QFETCH(std::optional<QString>, calendarSize);
    QFETCH(QString, flags);
    QFETCH(QString, fitKey);

    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) {
        user.fitDesktop = fit;
        user.lumivaleTitleSize = titleSize;
        user.calendarSize = calendarSize;
        user.flags = flags;
    });
    rig.screens.setDisplays(test::RotationRig::displays(2));
    QVERIFY(rig.change());

    const bool calendar = calendarSize && *calendarSize != u"zero"_s;
    const QList<test::RecordingApplier::Call>& calls = rig.applier().calls();
    QCOMPARE(calls.size(), 2);
    for (const test::RecordingApplier::Call& call : calls) {
        QCOMPARE(call.fit, fitKey.startsWith(u"fit"_s) ? WallpaperFit::fit : WallpaperFit::fill);
        QCOMPARE(call.title, fitKey.endsWith(u"|title"_s) ? call.photo.title : std::nullopt);
        QCOMPARE(call.overlay.has_value(), calendar);
        QCOMPARE(call.overlay, calls.first().overlay);
        QCOMPARE(call.useCDN, !flags.contains(u"no-cdn"_s));
        QVERIFY(!call.forceDownload);
    }

    const RotationRecord& record = rig.engine().record();
    QCOMPARE(record.fitOnScreen(), fitKey);
    QCOMPARE(record.calendarOnScreen(), calendar ? calls.first().overlay->key : u"none"_s);
    QCOMPARE(record.lastChange(), rig.clock.now());
    QCOMPARE(record.nowShowing(), calls.first().photo);
    QCOMPARE(record.showingByDisplay(), rig.engine().showing());
    QCOMPARE(rig.defaults.value(keys::fitOnScreen).toString(), fitKey);
}

void RotationChangeTest::forgetsUnpluggedDisplays()
{
    test::RotationRig rig;
    const QList<DisplayInfo> three = test::RotationRig::displays(3);
    rig.screens.setDisplays(three);
    QVERIFY(rig.change());
    QCOMPARE(keysOf(rig.defaults.value(keys::showingByDisplay)).size(), 3);

    rig.screens.setDisplays({three[0], three[2]});
    QVERIFY(rig.change());
    QStringList expected{three[0].key(), three[2].key()};
    expected.sort();
    QCOMPARE(keysOf(rig.defaults.value(keys::showingByDisplay)), expected);
    QCOMPARE(rig.engine().showing().keys().size(), 2);
}

void RotationChangeTest::backsOffAfterFailures()
{
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const QDateTime shownAt = rig.clock.now();

    rig.applier().failNext(11);
    for (int failure = 1; failure <= 11; ++failure) {
        QVERIFY(rig.advance(150s));
        QVERIFY(!rig.change());
        QCOMPARE(engine.backoff().failures(), failure);
        if (failure <= 10)
            QCOMPARE(engine.retryAt(), rig.clock.now().addSecs(120));
    }
    // The eleventh failure of the day waits for the next local midnight.
    QCOMPARE(engine.retryAt(), QDateTime(QDate(2026, 12, 11), QTime(0, 0)));
    QCOMPARE(engine.record().lastChange(), shownAt);

    // A new day counts from one again.
    rig.clock.setNow(QDateTime(QDate(2026, 12, 11), QTime(0, 0, 5)));
    rig.applier().failNext(1);
    QVERIFY(!rig.change());
    QCOMPARE(engine.backoff().failures(), 1);
    QCOMPARE(engine.retryAt(), rig.clock.now().addSecs(120));

    // Asking for a change ends the wait even when the change cannot run; a timed one leaves it.
    rig.account.setHasSessionToken(false);
    QVERIFY(!rig.change(false));
    QCOMPARE(engine.retryAt(), rig.clock.now().addSecs(120));
    QVERIFY(!rig.change(true));
    QVERIFY(!engine.retryAt());
    rig.account.setHasSessionToken(true);

    // A completed change clears the wait and the error.
    QVERIFY(rig.change());
    QCOMPARE(engine.backoff().failures(), 0);
    QVERIFY(!engine.retryAt());
    QVERIFY(!engine.lastError());
}

void RotationChangeTest::alertsOnlyWhenTheUserAsked_data()
{
    QTest::addColumn<bool>("userInitiated");
    QTest::addColumn<bool>("emptyPool");
    QTest::newRow("set failure, from the menu") << true << false;
    QTest::newRow("set failure, timed") << false << false;
    QTest::newRow("empty pool, from the menu") << true << true;
    QTest::newRow("empty pool, timed") << false << true;
}

void RotationChangeTest::alertsOnlyWhenTheUserAsked()
{
    QFETCH(bool, userInitiated);
    QFETCH(bool, emptyPool);
    test::RotationRig rig;
    QString text = u"The photo could not be downloaded (404)."_s;
    if (emptyPool) {
        // The user's own files count only beside a marked playlist, and they keep the photos of
        // the day away.
        rig.account.setAlbums({});
        rig.library.ownPhotos = {Medium{.uuid = u"local-mine.jpg"_s, .localPath = u"/tmp/mine.jpg"_s}};
        text = emptyPoolText;
    } else {
        rig.applier().failNext(1, WallpaperError::download(404));
    }
    RotationEngine& engine = rig.engine();
    QSignalSpy errors(&engine, &RotationEngine::lastErrorChanged);

    QVERIFY(!rig.change(userInitiated));
    QCOMPARE(engine.lastError(), text);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(rig.alerts, userInitiated ? QStringList{text} : QStringList());
    QCOMPARE(test::RotationRig::logLines(u"rotation"_s).filter(u"change failed"_s),
             QStringList{u"E change failed: "_s + text});
    QCOMPARE(engine.retryAt(), rig.clock.now().addSecs(120));
    if (emptyPool)
        QVERIFY(!rig.requestLines().join(u' ').contains(u"today"_s));
}

void RotationChangeTest::aFailingDisplayLeavesTheChangeUnrecorded()
{
    test::RotationRig rig;
    const QList<DisplayInfo> displays = test::RotationRig::displays(3);
    rig.screens.setDisplays(displays);
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const Medium before = *engine.nowShowing();
    const QDateTime changedAt = rig.clock.now();
    const QVariant storedByDisplay = rig.defaults.value(keys::showingByDisplay);

    QVERIFY(rig.advance(3600s));
    rig.applier().clear();
    rig.applier().failNext(1, WallpaperError::unreadable(), u"D2"_s);
    QVERIFY(!rig.change());

    // All displays are tried at once; those that took their photo show it, the failing one keeps
    // its old photo, and the change is not recorded.
    const QList<test::RecordingApplier::Call>& calls = rig.applier().calls();
    QCOMPARE(calls.size(), 3);
    for (const test::RecordingApplier::Call& call : calls) {
        if (call.display.key() == displays[1].key())
            QVERIFY(engine.showing().value(call.display.key()) != call.photo);
        else
            QCOMPARE(engine.showing().value(call.display.key()), call.photo);
    }
    QVERIFY(calls[0].photo != before);
    QCOMPARE(engine.nowShowing(), before);
    QCOMPARE(engine.record().nowShowing(), before);
    QCOMPARE(engine.record().lastChange(), changedAt);
    QCOMPARE(rig.defaults.value(keys::showingByDisplay), storedByDisplay);
    QCOMPARE(engine.retryAt(), rig.clock.now().addSecs(120));
    QCOMPARE(engine.lastError(), WallpaperError::unreadable().message());
}

void RotationChangeTest::resetForgetsTheRecordButNotTheBackoff()
{
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    rig.applier().failNext(1);
    QVERIFY(!rig.change());
    const std::optional<QDateTime> retryAt = engine.retryAt();
    QVERIFY(retryAt);
    QSignalSpy nowShowing(&engine, &RotationEngine::nowShowingChanged);

    engine.reset();
    for (const QString& key : {keys::nowShowing, keys::showingByDisplay, keys::lastChange,
                               keys::calendarOnScreen, keys::fitOnScreen})
        QVERIFY2(!rig.defaults.contains(key), qPrintable(key));
    QVERIFY(!engine.nowShowing());
    QCOMPARE(nowShowing.size(), 1);
    QVERIFY(engine.showing().isEmpty());
    QVERIFY(engine.poolKey().isEmpty());
    QCOMPARE(engine.retryAt(), retryAt);
    QCOMPARE(engine.backoff().failures(), 1);
    QCOMPARE(engine.lastError(), u"set failed"_s);

    // A record that does not decode is ignored at the next launch.
    rig.defaults.setValue(keys::nowShowing, QByteArray("[1,2]"));
    rig.defaults.setValue(keys::showingByDisplay, QByteArray("{\"1\": {\"title\": 3}}"));
    QVERIFY(!rig.restart().nowShowing());
    QVERIFY(rig.engine().showing().isEmpty());
}

void RotationChangeTest::changesNothingWithoutASession()
{
    test::RotationRig rig;
    rig.account.setHasSessionToken(false);
    RotationEngine& engine = rig.engine();
    engine.start();
    QVERIFY(rig.settle());
    QVERIFY(!rig.change(true));
    QVERIFY(rig.applier().calls().isEmpty());
    QVERIFY(!engine.lastError());
    QVERIFY(rig.alerts.isEmpty());
    QVERIFY(rig.requestLines().isEmpty());

    // Signing out while a change is under way drops its result.
    rig.account.setHasSessionToken(true);
    rig.applier().hold();
    bool changed = true;
    auto run = [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
        changed = co_await engine.changeWallpaper(true);
    };
    run(engine, changed);
    QVERIFY(QTest::qWaitFor([&] { return !rig.applier().calls().isEmpty(); }));
    engine.stop();
    engine.reset();
    rig.applier().release();
    QVERIFY(rig.settle());
    QVERIFY(!changed);
    QVERIFY(!engine.isChanging());
    QVERIFY(!engine.nowShowing());
    QVERIFY(!rig.defaults.contains(keys::lastChange));
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationChangeTest)
#include "RotationChangeTest.moc"
