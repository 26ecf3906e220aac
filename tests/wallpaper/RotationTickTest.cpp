#include "model/DefaultsKeys.h"
#include "support/AccountEdits.h"
#include "support/wallpaper/RotationRig.h"
#include "wallpaper/CalendarService.h"
#include "wallpaper/RotationRecord.h"
#include "wallpaper/WallpaperLook.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QDateTime thursday9(QDate(2026, 12, 10), QTime(9, 0));
const Medium shownPhoto{.uuid = u"0a0b0c0d-shown"_s, .title = u"Shown"_s, .secureBaseUrl = u"http://x/"_s};

QDateTime at(int day, int hour, int minute, int second = 0, int ms = 0)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second, ms));
}

} // namespace

/// What one pass of the rotation loop decides: a change, a redraw of the photos on screen, or
/// nothing; and the loop around it.
class RotationTickTest final : public QObject
{
    Q_OBJECT

private slots:
    void decides_data();
    void decides();
    void ticksThirtySecondsAfterTheLastOne();
    void redrawsTheCalendarAfterMidnight();
    void wakingTicksTenSecondsLater();
    void startsOnceAndStops();
};

void RotationTickTest::decides_data()
{
    QTest::addColumn<std::optional<QString>>("rotate");
    QTest::addColumn<QDateTime>("lastChange");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("retryIn");
    QTest::addColumn<bool>("calendarStale");
    QTest::addColumn<bool>("fitStale");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, std::optional<QString> rotate, QDateTime last, QDateTime now,
                        QString expected, int retryIn = 0, bool calendarStale = false,
                        bool fitStale = false) {
        QTest::newRow(name) << rotate << last << now << retryIn << calendarStale << fitStale << expected;
    };

    const QList<std::pair<QString, int>> intervals{
        {u"1minute"_s, 60},     {u"5minutes"_s, 300}, {u"10minutes"_s, 600}, {u"20minutes"_s, 1200},
        {u"30minutes"_s, 1800}, {u"1hour"_s, 3600},   {u"2hours"_s, 7200}};
    for (const auto& [value, seconds] : intervals) {
        const QDateTime now = thursday9.addSecs(seconds);
        QTest::addRow("%s: exactly the interval", qPrintable(value))
            << std::optional(value) << thursday9 << now << 0 << false << false << u"change"_s;
        QTest::addRow("%s: 0.1 s short", qPrintable(value))
            << std::optional(value) << thursday9 << now.addMSecs(-100) << 0 << false << false << u"nothing"_s;
    }
    for (const std::optional<QString>& rotate :
         {std::optional<QString>(), std::optional(u""_s), std::optional(u"3hours"_s)}) {
        const QByteArray name = rotate ? "\"" + rotate->toUtf8() + "\" as an hour" : "absent as an hour";
        QTest::addRow("%s: at 3600 s", name.constData())
            << rotate << thursday9 << thursday9.addSecs(3600) << 0 << false << false << u"change"_s;
        QTest::addRow("%s: at 3599.9 s", name.constData())
            << rotate << thursday9 << thursday9.addMSecs(3599'900) << 0 << false << false << u"nothing"_s;
    }

    row("no change recorded yet", u"2hours"_s, {}, thursday9, u"change"_s);
    row("never, nothing recorded", u"never"_s, {}, thursday9, u"nothing"_s);
    row("never, a year later", u"never"_s, thursday9, thursday9.addYears(1), u"nothing"_s);
    row("1day: 23:59 yesterday, just after midnight", u"1day"_s, at(9, 23, 59), at(10, 0, 0, 30),
        u"change"_s);
    row("1day: 00:01 today, at 23:59", u"1day"_s, at(10, 0, 1), at(10, 23, 59), u"nothing"_s);
    row("1day: no change recorded", u"1day"_s, {}, thursday9, u"change"_s);

    row("never: calendar stale", u"never"_s, thursday9, thursday9, u"redraw"_s, 0, true);
    row("never: fit stale", u"never"_s, thursday9, thursday9, u"redraw"_s, 0, false, true);
    row("not due: calendar stale", u"1hour"_s, thursday9, thursday9.addSecs(60), u"redraw"_s, 0, true);
    row("due: a change, never a redraw too", u"1hour"_s, thursday9, thursday9.addSecs(3600), u"change"_s, 0,
        true, true);

    row("retry ahead holds a due change", u"1hour"_s, {}, thursday9, u"nothing"_s, 60);
    row("retry ahead holds a redraw", u"never"_s, thursday9, thursday9, u"nothing"_s, 60, true);
    row("retry passed", u"1hour"_s, {}, thursday9, u"change"_s, -1);

    // The clock was set back since these were stored: they must not stall the rotation.
    row("last change ahead of now", u"1hour"_s, thursday9.addSecs(600), thursday9, u"change"_s);
    row("1day: last change on a later day", u"1day"_s, at(12, 9, 0), thursday9, u"change"_s);
    row("retry further ahead than any back-off", u"1hour"_s, {}, thursday9, u"change"_s, 3 * 86400);
}

void RotationTickTest::decides()
{
    QFETCH(std::optional<QString>, rotate);
    QFETCH(QDateTime, lastChange);
    QFETCH(QDateTime, now);
    QFETCH(int, retryIn);
    QFETCH(bool, calendarStale);
    QFETCH(bool, fitStale);
    QFETCH(QString, expected);

    test::RotationRig rig;
    rig.clock.setNow(now);
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = rotate; });
    RotationRecord record(rig.defaults);
    record.setShown(shownPhoto, {});
    record.setLastChange(lastChange.isValid() ? std::optional(lastChange) : std::nullopt);
    RotationEngine& engine = rig.engine();
    const QString wantedCalendar =
        engine.calendar().wantedKey(CalendarService::calendarSettings(rig.account.user()));
    QVERIFY(wantedCalendar != u"none"_s);
    record.setLook(calendarStale ? u"none"_s : wantedCalendar,
                   fitStale ? u"fit|title"_s : WallpaperLook::of(rig.account.user()).key());
    if (retryIn != 0)
        engine.setRetryAt(now.addSecs(retryIn));

    engine.start();
    QVERIFY(rig.settle());

    const QList<test::RecordingApplier::Call>& calls = rig.applier().calls();
    QString outcome = u"nothing"_s;
    if (!calls.isEmpty())
        outcome = calls.first().photo == shownPhoto ? u"redraw"_s : u"change"_s;
    QCOMPARE(outcome, expected);
    if (outcome == u"change"_s)
        QCOMPARE(record.lastChange(), now);
    if (outcome == u"redraw"_s) {
        QCOMPARE(record.lastChange(), lastChange);
        QCOMPARE(record.calendarOnScreen(), wantedCalendar);
        QCOMPARE(record.fitOnScreen(), WallpaperLook::of(rig.account.user()).key());
    }
}

void RotationTickTest::ticksThirtySecondsAfterTheLastOne()
{
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = u"1minute"_s; });
    rig.engine().start();
    QVERIFY(rig.settle());
    QCOMPARE(rig.applier().calls().size(), 1);

    QVERIFY(rig.advance(29'999ms));
    QCOMPARE(rig.wake.checks, 1);
    QVERIFY(rig.advance(1ms));
    QCOMPARE(rig.wake.checks, 2);
    QCOMPARE(rig.applier().calls().size(), 1);
    QVERIFY(rig.advance(30s));
    QCOMPARE(rig.applier().calls().size(), 2);
}

void RotationTickTest::redrawsTheCalendarAfterMidnight()
{
    test::RotationRig rig;
    rig.clock.setNow(at(10, 23, 59, 50));
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = u"never"_s; });
    RotationRecord(rig.defaults).setShown(shownPhoto, {});
    rig.engine().start();
    QVERIFY(rig.settle());
    // Nothing recorded the calendar on screen yet: the first tick draws it.
    QCOMPARE(rig.applier().photoIds(), QStringList{shownPhoto.uuid});
    const QString before = rig.engine().record().calendarOnScreen();

    QVERIFY(rig.advance(30s));
    QCOMPARE(rig.applier().photoIds(), QStringList(2, shownPhoto.uuid));
    QVERIFY(rig.engine().record().calendarOnScreen() != before);
    QVERIFY(!rig.engine().record().lastChange());

    QVERIFY(rig.advance(30s));
    QCOMPARE(rig.applier().calls().size(), 2);
}

void RotationTickTest::wakingTicksTenSecondsLater()
{
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = u"1hour"_s; });
    rig.engine().start();
    QVERIFY(rig.settle());
    QCOMPARE(rig.applier().calls().size(), 1);

    // Two hours pass in sleep; the loop's next tick is still 30 s of awake time away.
    rig.clock.setNow(rig.clock.now().addSecs(7200));
    rig.wake.wake();
    QVERIFY(rig.advance(9999ms));
    QCOMPARE(rig.applier().calls().size(), 1);
    QVERIFY(rig.advance(1ms));
    QCOMPARE(rig.applier().calls().size(), 2);

    // After stop a wake is no longer heard.
    rig.engine().stop();
    rig.clock.setNow(rig.clock.now().addSecs(7200));
    rig.wake.wake();
    QVERIFY(rig.advance(60s));
    QCOMPARE(rig.applier().calls().size(), 2);
}

void RotationTickTest::startsOnceAndStops()
{
    test::RotationRig rig;
    test::editUser(rig.account, [&](User& user) { user.rotateDesktop = u"1minute"_s; });
    RotationEngine& engine = rig.engine();
    engine.start();
    engine.start();
    QVERIFY(rig.settle());
    QCOMPARE(rig.wake.checks, 1);
    QVERIFY(rig.advance(30s));
    QCOMPARE(rig.wake.checks, 2);

    engine.stop();
    QVERIFY(!engine.isRunning());
    QVERIFY(rig.advance(120s));
    QCOMPARE(rig.wake.checks, 2);
    QCOMPARE(rig.applier().calls().size(), 1);

    // A new start ticks at once.
    engine.start();
    QVERIFY(rig.settle());
    QCOMPARE(rig.wake.checks, 3);
    QCOMPARE(rig.applier().calls().size(), 2);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationTickTest)
#include "RotationTickTest.moc"
