#include "wallpaper/CalendarService.h"
#include "model/User.h"
#include "support/ManualClock.h"
#include "wallpaper/CalendarRenderer.h"

#include <QtTest>

#include <functional>
#include <time.h>

using namespace Qt::StringLiterals;
using namespace lumi;
using namespace std::chrono_literals;

using Change = std::function<void(CalendarSettings&)>;

Q_DECLARE_METATYPE(Change)

namespace {

QDateTime local(int year, int month, int day, int hour = 9, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

CalendarSettings with(const Change& change)
{
    CalendarSettings settings;
    change(settings);
    return settings;
}

} // namespace

class CalendarServiceTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void request_data();
    void request();
    void overlay_data();
    void overlay();
    void overlayKey();
    void overlayKeyChanges_data();
    void overlayKeyChanges();
    void calendarLanguage_data();
    void calendarLanguage();
    void dailyRetryCap_data();
    void dailyRetryCap();
    void renderSample();
    void themeOptionsNameRealThemes();
};

void CalendarServiceTest::initTestCase()
{
    // A zone with daylight saving, so the days of 23 and 25 hours exist.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void CalendarServiceTest::request_data()
{
    QTest::addColumn<CalendarSettings>("settings");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<CalendarRequest>("expected");

    QTest::newRow("sunday, one month ahead")
        << with([](auto& s) { s.future = u"1"_s; }) << QDate(2026, 12, 9)
        << CalendarRequest{u"classic"_s, 2026, 12, 9, false, 0, 1, u"en"_s};
    QTest::newRow("monday, two each side") << with([](auto& s) {
        s.theme = u"forest"_s;
        s.start = u"monday"_s;
        s.past = u"2"_s;
        s.future = u"2"_s;
    }) << QDate(2028, 2, 29) << CalendarRequest{u"forest"_s, 2028, 2, 29, true, 2, 2, u"en"_s};
    QTest::newRow("unreadable counts are 0, large ones pass") << with([](auto& s) {
        s.past = u"x"_s;
        s.future = u"5"_s;
    }) << QDate(2026, 5, 1) << CalendarRequest{u"classic"_s, 2026, 5, 1, false, 0, 5, u"en"_s};
    QTest::newRow("no date") << CalendarSettings() << QDate()
                             << CalendarRequest{u"classic"_s, 2026, 1, 1, false, 0, 0, u"en"_s};
}

void CalendarServiceTest::request()
{
    QFETCH(CalendarSettings, settings);
    QFETCH(QDate, date);
    QFETCH(CalendarRequest, expected);

    const test::ManualClock clock(local(2026, 12, 9));
    const CalendarService service(clock, u"en"_s);
    QCOMPARE(service.makeRequest(settings, date), expected);
}

void CalendarServiceTest::overlay_data()
{
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("position");
    QTest::addColumn<int>("opacity");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("isRight");
    QTest::addColumn<bool>("isBottom");

    QTest::newRow("medium, top left") << u"medium"_s << u"top_left"_s << 100 << 1.0 << false << false;
    QTest::newRow("small, top right") << u"small"_s << u"top_right"_s << 50 << 0.66 << true << false;
    QTest::newRow("large, bottom left") << u"large"_s << u"bottom_left"_s << 70 << 1.33 << false << true;
    QTest::newRow("xlarge, bottom right") << u"xlarge"_s << u"bottom_right"_s << 90 << 1.66 << true << true;
    QTest::newRow("xxlarge, unknown position") << u"xxlarge"_s << u"middle"_s << 100 << 2.0 << false << false;
    QTest::newRow("unknown size") << u"Zero"_s << u"top_left"_s << 100 << 1.0 << false << false;
}

void CalendarServiceTest::overlay()
{
    QFETCH(QString, size);
    QFETCH(QString, position);
    QFETCH(int, opacity);
    QFETCH(double, zoom);
    QFETCH(bool, isRight);
    QFETCH(bool, isBottom);

    const test::ManualClock clock(local(2026, 12, 9, 23, 30));
    const CalendarService service(clock, u"en"_s);
    CalendarSettings settings;
    settings.size = size;
    settings.position = position;
    settings.opacity = opacity;

    const CalendarOverlay overlay = service.makeOverlay(settings);
    QCOMPARE(overlay.request, (CalendarRequest{u"classic"_s, 2026, 12, 9, false, 0, 0, u"en"_s}));
    QCOMPARE(overlay.baseSize, QSizeF(304, 294));
    QCOMPARE(overlay.zoom, zoom);
    QCOMPARE(overlay.alpha, opacity / 100.0);
    QCOMPARE(overlay.isRight, isRight);
    QCOMPARE(overlay.isBottom, isBottom);
    QCOMPARE(overlay.key, service.overlayKey(settings));
}

void CalendarServiceTest::overlayKey()
{
    const test::ManualClock clock(local(2026, 12, 9, 10));
    const CalendarService service(clock, u"en"_s);
    const CalendarSettings settings = with([](auto& s) { s.future = u"1"_s; });

    QCOMPARE(service.overlayKey(settings), u"classic/12-9-2026.sunday.none.1.en|medium|top_left|100"_s);
    QCOMPARE(service.wantedKey(settings), service.overlayKey(settings));
    QCOMPARE(service.wantedKey(std::nullopt), u"none"_s);
}

void CalendarServiceTest::overlayKeyChanges_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("language");

    const QDateTime beforeMidnight = local(2026, 12, 9, 23, 59);
    const auto keep = [](CalendarSettings&) {};
    QTest::newRow("theme") << Change([](auto& s) { s.theme = u"plum"_s; }) << beforeMidnight << u"en"_s;
    QTest::newRow("size") << Change([](auto& s) { s.size = u"large"_s; }) << beforeMidnight << u"en"_s;
    QTest::newRow("position") << Change([](auto& s) { s.position = u"bottom_right"_s; }) << beforeMidnight
                              << u"en"_s;
    QTest::newRow("opacity 80 to 90") << Change([](auto& s) { s.opacity = 90; }) << beforeMidnight << u"en"_s;
    QTest::newRow("start") << Change([](auto& s) { s.start = u"monday"_s; }) << beforeMidnight << u"en"_s;
    QTest::newRow("past") << Change([](auto& s) { s.past = u"1"_s; }) << beforeMidnight << u"en"_s;
    QTest::newRow("future") << Change([](auto& s) { s.future = u"2"_s; }) << beforeMidnight << u"en"_s;
    QTest::newRow("midnight") << Change(keep) << local(2026, 12, 10, 0, 0) << u"en"_s;
    QTest::newRow("language") << Change(keep) << beforeMidnight << u"de"_s;
}

void CalendarServiceTest::overlayKeyChanges()
{
    QFETCH(Change, change);
    QFETCH(QDateTime, now);
    QFETCH(QString, language);

    const CalendarSettings base = with([](auto& s) { s.opacity = 80; });
    const test::ManualClock before(local(2026, 12, 9, 23, 59));
    const QString baseKey = CalendarService(before, u"en"_s).overlayKey(base);

    CalendarSettings changed = base;
    change(changed);
    const test::ManualClock after(now);
    const CalendarService service(after, language);
    QVERIFY(service.overlayKey(changed) != baseKey);
    QCOMPARE(service.makeOverlay(changed).key, service.overlayKey(changed));
}

void CalendarServiceTest::calendarLanguage_data()
{
    QTest::addColumn<QStringList>("preferred");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Swiss German") << QStringList{u"de-CH"_s} << u"de"_s;
    QTest::newRow("Brazilian Portuguese") << QStringList{u"pt-BR"_s, u"en-US"_s} << u"pt"_s;
    QTest::newRow("Latin American Spanish") << QStringList{u"es-419"_s} << u"es"_s;
    QTest::newRow("underscore form") << QStringList{u"fr_CA"_s} << u"fr"_s;
    QTest::newRow("Japanese") << QStringList{u"ja-JP"_s, u"de-DE"_s} << u"en"_s;
    QTest::newRow("none") << QStringList{} << u"en"_s;
    QTest::newRow("C locale") << QStringList{u"C"_s} << u"en"_s;
}

void CalendarServiceTest::calendarLanguage()
{
    QFETCH(QStringList, preferred);
    QFETCH(QString, expected);

    QCOMPARE(CalendarService::calendarLanguage(preferred), expected);
}

void CalendarServiceTest::dailyRetryCap_data()
{
    QTest::addColumn<QDate>("day");

    QTest::newRow("ordinary day") << QDate(2026, 12, 9);
    QTest::newRow("23-hour day") << QDate(2026, 3, 29);
    QTest::newRow("25-hour day") << QDate(2026, 10, 25);
}

void CalendarServiceTest::dailyRetryCap()
{
    QFETCH(QDate, day);

    test::ManualClock clock(QDateTime(day, QTime(10, 0)));
    CalendarService service(clock, u"en"_s);
    QVERIFY(service.canAttempt());

    for (int failure = 1; failure <= 9; ++failure) {
        service.noteFailure();
        QCOMPARE(service.attemptsToday(), failure);
        QCOMPARE(service.nextAttempt(), clock.now().addSecs(120));
        QVERIFY(!service.canAttempt());
        clock.advance(120s);
        QVERIFY(service.canAttempt());
    }

    // The tenth failure waits for the next local midnight, however long the day is.
    const QDateTime midnight(day.addDays(1), QTime(0, 0));
    service.noteFailure();
    QCOMPARE(service.nextAttempt(), midnight);
    clock.setNow(midnight.addSecs(-1));
    QVERIFY(!service.canAttempt());

    // A settings change lifts the wait but not the day's count.
    service.clearNextAttempt();
    QVERIFY(service.canAttempt());
    service.noteFailure();
    QCOMPARE(service.attemptsToday(), 11);
    QCOMPARE(service.nextAttempt(), midnight);

    clock.setNow(midnight);
    QVERIFY(service.canAttempt());
    clock.setNow(midnight.addSecs(8 * 3600));
    service.noteFailure();
    QCOMPARE(service.attemptsToday(), 1);
    QCOMPARE(service.nextAttempt(), clock.now().addSecs(120));

    // A clock set back by two days does not keep the calendar waiting until it catches up.
    clock.setNow(midnight.addDays(-2));
    QVERIFY(service.canAttempt());
}

void CalendarServiceTest::renderSample()
{
    const test::ManualClock clock(local(2026, 12, 9));
    const CalendarService service(clock, u"fr"_s);
    QCOMPARE(service.renderSample(std::nullopt), std::nullopt);
    User user;
    user.calendarSize = u"xxlarge"_s;
    user.calendarTheme = u"clear-white"_s;
    QCOMPARE(service.renderSample(user), std::nullopt);
}

void CalendarServiceTest::themeOptionsNameRealThemes()
{
    // Every theme the picker offers draws as itself, not as the classic fallback.
    const CalendarRenderer::Theme classic = CalendarRenderer::theme(u"classic"_s);
    QSet<QString> values;
    for (const CalendarSettings::Option& option : CalendarSettings::themeOptions()) {
        QVERIFY(!option.label.isEmpty());
        values.insert(option.value);
        if (option.value != u"classic")
            QVERIFY2(CalendarRenderer::theme(option.value) != classic, qPrintable(option.value));
    }
    QCOMPARE(values.size(), CalendarSettings::themeOptions().size());
}

QTEST_MAIN(CalendarServiceTest)
#include "CalendarServiceTest.moc"
