#include "model/DefaultsKeys.h"
#include "support/AccountEdits.h"
#include "support/wallpaper/RotationRig.h"
#include "wallpaper/RotationRecord.h"
#include "wallpaper/WallpaperError.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const Medium picked{.uuid = u"9f8e7d6c-picked"_s, .title = u"Picked"_s, .secureBaseUrl = u"http://x/"_s};

QCoro::Task<void> keep(QCoro::Task<bool> task, std::optional<bool>& result)
{
    result = co_await task;
}

} // namespace

/// Drawing the photos on screen again, setting a photo the user picked, the diagnostics' check,
/// and the one busy flag they share with the change.
class RotationRedrawTest final : public QObject
{
    Q_OBJECT

private slots:
    void redrawsWhatEachDisplayShows();
    void aFailedRedrawWaitsForTheCalendarRetry();
    void redrawWritesTheCurrentLook_data();
    void redrawWritesTheCurrentLook();
    void showsAPickedPhoto_data();
    void showsAPickedPhoto();
    void aPickedPhotoThatFailsIsNotRecorded();
    void testsTheWallpaperWithoutRecording();
    void runsOneAtATime();
};

void RotationRedrawTest::redrawsWhatEachDisplayShows()
{
    test::RotationRig rig;
    QList<DisplayInfo> displays = test::RotationRig::displays(3);
    rig.screens.setDisplays(displays.first(2));
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const QList<test::RecordingApplier::Call> shown = rig.applier().calls();
    const QVariant lastChange = rig.defaults.value(keys::lastChange);

    // A display connected since the change gets the photo of the first display.
    rig.screens.setDisplays(displays);
    rig.applier().clear();
    engine.redrawNow();
    QVERIFY(rig.settle());
    QCOMPARE(rig.applier().photoIds(),
             (QStringList{shown[0].photo.uuid, shown[1].photo.uuid, shown[0].photo.uuid}));
    QCOMPARE(rig.applier().calls()[2].display, displays[2]);
    QCOMPARE(rig.defaults.value(keys::lastChange), lastChange);
    QCOMPARE(engine.showing().size(), 2);

    // Nothing shown yet: nothing is drawn, but the look is recorded so the tick stops asking.
    engine.reset();
    rig.applier().clear();
    engine.redrawNow();
    QVERIFY(rig.settle());
    QVERIFY(rig.applier().calls().isEmpty());
    QCOMPARE(engine.record().fitOnScreen(), u"fill|title"_s);
    QVERIFY(engine.record().calendarOnScreen() != u"none"_s);
}

void RotationRedrawTest::aFailedRedrawWaitsForTheCalendarRetry()
{
    test::RotationRig rig;
    const QList<DisplayInfo> displays = test::RotationRig::displays(2);
    rig.screens.setDisplays(displays);
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = u"never"_s; });
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    test::editUser(rig.account, [&](User& user) { user.calendarTheme = u"dark"_s; });
    const QString oldCalendar = engine.record().calendarOnScreen();

    rig.applier().clear();
    rig.applier().failNext(1, WallpaperError::unreadable(), u"D1"_s);
    engine.redrawNow();
    QVERIFY(rig.settle());
    // The second display is still drawn; the keys keep their old values.
    QCOMPARE(rig.applier().calls().size(), 2);
    QCOMPARE(engine.record().calendarOnScreen(), oldCalendar);
    QCOMPARE(test::RotationRig::logLines(u"rotation"_s).filter(u"redraw"_s),
             QStringList{u"E calendar redraw failed on display %1: %2"_s.arg(displays[0].number)
                             .arg(WallpaperError::unreadable().message())});
    QCOMPARE(engine.calendar().nextAttempt(), rig.clock.now().addSecs(120));
    QVERIFY(!engine.retryAt());
    QVERIFY(!engine.lastError());

    // The tick retries once the calendar allows it.
    rig.applier().clear();
    engine.start();
    QVERIFY(rig.settle());
    QVERIFY(rig.applier().calls().isEmpty());
    QVERIFY(rig.advance(120s));
    QCOMPARE(rig.applier().calls().size(), 2);
    QVERIFY(engine.record().calendarOnScreen() != oldCalendar);
}

void RotationRedrawTest::redrawWritesTheCurrentLook_data()
{
    QTest::addColumn<std::optional<QString>>("fit");
    QTest::addColumn<std::optional<QString>>("titleSize");
    QTest::addColumn<std::optional<QString>>("calendarSize");
    QTest::addColumn<QString>("fitKey");
    QTest::addColumn<bool>("calendar");

    QTest::newRow("calendar switched off") << std::optional(u"fill"_s) << std::optional(u"small"_s)
                                           << std::optional<QString>() << u"fill|title"_s << false;
    QTest::newRow("titles on with fit") << std::optional(u"fit"_s) << std::optional(u"small"_s)
                                        << std::optional(u"medium"_s) << u"fit|title"_s << true;
    QTest::newRow("titles off") << std::optional(u"fit"_s) << std::optional(u"none"_s)
                                << std::optional(u"small"_s) << u"fit"_s << true;
}

void RotationRedrawTest::redrawWritesTheCurrentLook()
{
    QFETCH(std::optional<QString>, fit);
    QFETCH(std::optional<QString>, titleSize);
    QFETCH(std::optional<QString>, calendarSize);
    QFETCH(QString, fitKey);
    QFETCH(bool, calendar);

    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    test::editUser(rig.account, [&](User& user) {
        user.fitDesktop = fit;
        user.lumivaleTitleSize = titleSize;
        user.calendarSize = calendarSize;
    });
    rig.applier().clear();
    engine.redrawNow();
    QVERIFY(rig.settle());

    const test::RecordingApplier::Call& call = rig.applier().calls().value(0);
    QCOMPARE(call.photo, *engine.nowShowing());
    QCOMPARE(call.overlay.has_value(), calendar);
    QCOMPARE(engine.record().fitOnScreen(), fitKey);
    QCOMPARE(engine.record().calendarOnScreen(), calendar ? call.overlay->key : u"none"_s);
}

void RotationRedrawTest::showsAPickedPhoto_data()
{
    QTest::addColumn<bool>("everyDisplay");
    QTest::newRow("every display") << true;
    QTest::newRow("two of three") << false;
}

void RotationRedrawTest::showsAPickedPhoto()
{
    QFETCH(bool, everyDisplay);
    test::RotationRig rig;
    const QList<DisplayInfo> displays = test::RotationRig::displays(3);
    rig.screens.setDisplays(displays);
    test::editUser(rig.account, [&](User& user) { user.flags = u"no-cdn"_s; });
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const Medium onThird = engine.showing().value(displays[2].key());
    rig.applier().clear();
    rig.clock.advance(60s);

    Medium untitled = picked;
    untitled.title.reset();
    std::optional<bool> shown;
    keep(engine.showPhoto(untitled, everyDisplay ? std::nullopt : std::optional(displays.first(2))), shown);
    QVERIFY(rig.settle());
    QCOMPARE(shown, true);

    const QList<test::RecordingApplier::Call>& calls = rig.applier().calls();
    QCOMPARE(calls.size(), everyDisplay ? 3 : 2);
    for (const test::RecordingApplier::Call& call : calls) {
        QCOMPARE(call.photo, untitled);
        QVERIFY(!call.title);
        QVERIFY(!call.useCDN);
    }
    QCOMPARE(engine.showing().value(displays[2].key()), everyDisplay ? untitled : onThird);
    QCOMPARE(engine.nowShowing(), untitled);
    QCOMPARE(engine.record().nowShowing(), untitled);
    QCOMPARE(engine.record().lastChange(), rig.clock.now());
    QCOMPARE(
        rig.journal.calls(),
        QStringList{u"events.track(wallpaper-set,photo-id=%1,photo-title=Untitled)"_s.arg(untitled.uuid)});
}

void RotationRedrawTest::aPickedPhotoThatFailsIsNotRecorded()
{
    test::RotationRig rig;
    rig.screens.setDisplays(test::RotationRig::displays(2));
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const Medium before = *engine.nowShowing();
    rig.applier().clear();
    rig.applier().failNext(1, WallpaperError::noImage(), u"D2"_s);

    std::optional<bool> shown;
    keep(engine.showPhoto(picked, std::nullopt), shown);
    QVERIFY(rig.settle());
    QCOMPARE(shown, false);
    QCOMPARE(rig.applier().calls().size(), 2);
    QCOMPARE(engine.record().nowShowing(), before);
    QCOMPARE(engine.lastError(), WallpaperError::noImage().message());
    QCOMPARE(test::RotationRig::logLines(u"rotation"_s).filter(u"show failed"_s),
             QStringList{u"E show failed: "_s + WallpaperError::noImage().message()});
    // Not a rotation failure: no back-off, no alert, no event.
    QVERIFY(!engine.retryAt());
    QVERIFY(rig.alerts.isEmpty());
    QVERIFY(rig.journal.calls().isEmpty());
}

void RotationRedrawTest::testsTheWallpaperWithoutRecording()
{
    test::RotationRig rig;
    rig.screens.setDisplays(test::RotationRig::displays(2));
    test::editUser(rig.account, [&](User& user) { user.flags = u"no-cdn"_s; });
    RotationEngine& engine = rig.engine();

    std::optional<std::optional<QString>> result;
    auto run = [](RotationEngine& engine, bool useCDN,
                  std::optional<std::optional<QString>>& result) -> QCoro::Task<void> {
        result = co_await engine.testWallpaper(picked, useCDN);
    };
    run(engine, true, result);
    QVERIFY(rig.settle());
    QVERIFY(result && !*result);
    QCOMPARE(rig.applier().calls().size(), 1);
    QCOMPARE(rig.applier().calls()[0].display.name, u"D1"_s);
    QVERIFY(rig.applier().calls()[0].useCDN);
    QVERIFY(rig.applier().calls()[0].forceDownload);
    QVERIFY(!engine.nowShowing());
    QVERIFY(!rig.defaults.contains(keys::nowShowing));

    rig.applier().failNext(1, WallpaperError::tooSmall());
    run(engine, false, result);
    QVERIFY(rig.settle());
    QVERIFY(result);
    QCOMPARE(*result, WallpaperError::tooSmall().message());
    QVERIFY(!rig.applier().calls()[1].useCDN);
    QVERIFY(!engine.lastError());

    rig.screens.setDisplays({});
    run(engine, true, result);
    QVERIFY(result);
    QCOMPARE(*result, u"no display"_s);
    QCOMPARE(rig.applier().calls().size(), 2);
}

void RotationRedrawTest::runsOneAtATime()
{
    test::RotationRig rig;
    RotationEngine& engine = rig.engine();
    QVERIFY(rig.change());
    const Medium before = *engine.nowShowing();
    rig.applier().clear();
    rig.applier().hold();
    QSignalSpy busy(&engine, &RotationEngine::isChangingChanged);

    engine.redrawNow();
    QVERIFY(engine.isChanging());
    QCOMPARE(rig.applier().calls().size(), 1);

    std::optional<bool> changed;
    std::optional<bool> shown;
    keep(engine.changeWallpaper(true), changed);
    keep(engine.showPhoto(picked, std::nullopt), shown);
    engine.redrawNow();
    QCOMPARE(changed, false);
    QCOMPARE(shown, false);
    QCOMPARE(rig.applier().calls().size(), 1);

    rig.applier().release();
    QVERIFY(rig.settle());
    QVERIFY(!engine.isChanging());
    QCOMPARE(busy.size(), 2);
    QCOMPARE(engine.nowShowing(), before);
    QVERIFY(rig.alerts.isEmpty());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationRedrawTest)
#include "RotationRedrawTest.moc"
