#include "services/DailyNotifier.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/User.h"
#include "platform/linux/FreedesktopNotifier.h"
#include "services/CrashReporter.h"
#include "support/FakeNotificationServer.h"
#include "support/ForeignHost.h"
#include "support/LogLines.h"
#include "support/ManualClock.h"
#include "support/PrivateSessionBus.h"
#include "support/SandboxFixture.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingPlayer.h"

#include <QDBusConnection>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::DailyNotifier;
using lumi::test::FakeNotificationServer;
using lumi::test::SandboxFixture;

class DailyNotifierTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void postsOnlyAtTheTenOClockCrossing_data();
    void postsOnlyAtTheTenOClockCrossing();
    void announcesTodaysPhotos_data();
    void announcesTodaysPhotos();
    void thumbnailFollowsRedirectsOnlyToAllowedAddresses_data();
    void thumbnailFollowsRedirectsOnlyToAllowedAddresses();
    void clickOpensTodayAndCloseRemovesThePicture();
    void withoutANotificationServiceNothingIsShown();

private:
    void serveToday(int count, const QString& title, bool thumbnailExists);
    /// Starts the notifier at the local time and moves the clock on by `run` at once.
    void runFrom(const QTime& start, std::chrono::milliseconds run);

    std::unique_ptr<lumi::test::PrivateSessionBus> m_bus;
    std::unique_ptr<SandboxFixture> m_sandbox;
    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<lumi::test::ManualClock> m_clock;
    std::unique_ptr<lumi::CrashReporter> m_reporter;
    std::unique_ptr<lumi::APIClient> m_api;
    std::unique_ptr<lumi::Account> m_account;
    lumi::test::CallJournal m_journal;
    std::unique_ptr<lumi::test::RecordingPlayer> m_player;
    std::unique_ptr<lumi::FreedesktopNotifier> m_notifier;
    std::unique_ptr<DailyNotifier> m_daily;
};

void DailyNotifierTest::initTestCase()
{
    m_bus = std::make_unique<lumi::test::PrivateSessionBus>();
    QVERIFY2(!m_bus->address().isEmpty(), qPrintable(m_bus->error()));
}

void DailyNotifierTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_server = std::make_unique<FakeNotificationServer>();
    QDBusConnection service = m_bus->connect(u"notifications"_s);
    QVERIFY(service.registerService(u"org.freedesktop.Notifications"_s));
    QVERIFY(service.registerObject(u"/org/freedesktop/Notifications"_s, m_server.get(),
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
    m_clock =
        std::make_unique<lumi::test::ManualClock>(QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::LocalTime));
    m_reporter = std::make_unique<lumi::CrashReporter>();
    m_api = std::make_unique<lumi::APIClient>(*m_reporter);
    m_api->setToken(m_sandbox->signInToken());
    m_account = std::make_unique<lumi::Account>();
    m_account->setHasSessionToken(true);
    lumi::User user;
    user.uuid = u"u-1"_s;
    user.notifications = u"all"_s;
    m_account->setUser(user);
    m_player = std::make_unique<lumi::test::RecordingPlayer>(m_journal);
    m_notifier = std::make_unique<lumi::FreedesktopNotifier>(m_bus->connect(u"app"_s));
    m_daily = std::make_unique<DailyNotifier>(DailyNotifier::Services{.account = *m_account,
                                                                      .api = *m_api,
                                                                      .clock = *m_clock,
                                                                      .defaults = lumi::Defaults::shared(),
                                                                      .player = *m_player,
                                                                      .notifier = *m_notifier});
    serveToday(3, u"Lake <Louise> & more"_s, true);
}

void DailyNotifierTest::cleanup()
{
    m_daily.reset();
    QTest::qWait(0); // the cancelled tick wakes while the clock exists
    m_notifier.reset();
    QDBusConnection service = m_bus->connect(u"notifications"_s);
    service.unregisterObject(u"/org/freedesktop/Notifications"_s);
    service.unregisterService(u"org.freedesktop.Notifications"_s);
    m_server.reset();
    m_api.reset();
    m_reporter.reset();
    m_clock.reset();
    m_sandbox.reset();
}

void DailyNotifierTest::serveToday(int count, const QString& title, bool thumbnailExists)
{
    QUrl cdn = m_sandbox->serverUrl();
    cdn.setPath(thumbnailExists ? u"/cdn/212043f1-bd79-432e-9fb8-1513f8c0ba20/"_s : u"/cdn/no-such-photo/"_s);
    QJsonArray media;
    for (int i = 0; i < count; ++i)
        media.append(QJsonObject{
            {u"uuid"_s, u"p%1"_s.arg(i)}, {u"title"_s, title}, {u"secure_base_url"_s, cdn.toString()}});
    m_sandbox->clearFaults();
    QVERIFY(m_sandbox->addFault(
        {{u"method"_s, u"GET"_s},
         {u"path"_s, u"/api/v6/media/today"_s},
         {u"status"_s, 200},
         {u"body"_s, QString::fromUtf8(QJsonDocument(QJsonObject{{u"media"_s, media}}).toJson())}}));
}

void DailyNotifierTest::runFrom(const QTime& start, std::chrono::milliseconds run)
{
    m_clock->setNow(QDateTime(QDate(2026, 12, 10), start, Qt::LocalTime));
    m_daily->start();
    m_clock->advance(run);
    QTest::qWait(20);
}

void DailyNotifierTest::postsOnlyAtTheTenOClockCrossing_data()
{
    QTest::addColumn<QTime>("start");
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("setBackMin"); // the wall clock set back right after the start
    QTest::addColumn<bool>("asleep");    // the steps are system sleep
    QTest::addColumn<QList<int>>("stepsMs");
    QTest::addColumn<int>("posts");
    QTest::addColumn<QString>("day");

    const QList<int> sixMinutes{6 * 60'000};
    QTest::newRow("09:59:30, on through 10:05")
        << QTime(9, 59, 30) << QString() << 0 << false << sixMinutes << 1 << u"2026-12-10"_s;
    QTest::newRow("started at 11:00")
        << QTime(11, 0) << QString() << 0 << false << sixMinutes << 0 << QString();
    QTest::newRow("already notified today")
        << QTime(9, 59, 30) << u"notified"_s << 0 << false << sixMinutes << 0 << QString();
    QTest::newRow("saver showing") << QTime(9, 59, 30) << u"saver"_s << 0 << false << sixMinutes << 0
                                   << QString();
    QTest::newRow("notifications off")
        << QTime(9, 59, 30) << u"none"_s << 0 << false << sixMinutes << 0 << QString();
    QTest::newRow("signed out") << QTime(9, 59, 30) << u"signed out"_s << 0 << false << sixMinutes << 0
                                << QString();
    QTest::newRow("10:00 reached exactly")
        << QTime(9, 59, 30) << QString() << 0 << false << QList<int>{29'999, 1} << 1 << u"2026-12-10"_s;
    QTest::newRow("asleep from 09:30 to 11:30")
        << QTime(9, 30) << QString() << 0 << true << QList<int>{2 * 3'600'000} << 1 << u"2026-12-10"_s;
    QTest::newRow("started at 11:00, next day at 10:00")
        << QTime(11, 0) << QString() << 0 << false << QList<int>{13 * 3'600'000, 10 * 3'600'000} << 1
        << u"2026-12-11"_s;
    QTest::newRow("clock set back before 10:00") << QTime(9, 59, 30) << QString() << 30 << false
                                                 << QList<int>{30'000, 30 * 60'000} << 1 << u"2026-12-10"_s;
}

void DailyNotifierTest::postsOnlyAtTheTenOClockCrossing()
{
    QFETCH(QTime, start);
    QFETCH(QString, why);
    QFETCH(int, setBackMin);
    QFETCH(bool, asleep);
    QFETCH(QList<int>, stepsMs);
    QFETCH(int, posts);
    QFETCH(QString, day);

    lumi::Defaults::shared().setValue(lumi::keys::notifiedDay,
                                      why == u"notified"_s ? u"2026-12-10"_s : u"2026-12-9"_s);
    m_player->showing = why == u"saver"_s;
    if (why == u"none"_s) {
        lumi::User user = *m_account->user();
        user.notifications = u"none"_s;
        m_account->setUser(user);
    }
    if (why == u"signed out"_s)
        m_account->setHasSessionToken(false);

    runFrom(start, 0ms);
    m_clock->setNow(m_clock->now().addSecs(-60 * setBackMin));
    for (qsizetype i = 0; i < stepsMs.size(); ++i) {
        // Nothing before the last step: never early.
        QCOMPARE(m_server->shown.size(), 0);
        const std::chrono::milliseconds step(stepsMs[i]);
        if (asleep)
            m_clock->suspend(step);
        else
            m_clock->advance(step);
        QTest::qWait(50);
    }
    QTest::qWait(250);
    QCOMPARE(m_server->shown.size(), posts);
    if (posts)
        QCOMPARE(lumi::Defaults::shared().stringValue(lumi::keys::notifiedDay), std::optional(day));
}

void DailyNotifierTest::announcesTodaysPhotos_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("thumbnail");
    QTest::addColumn<bool>("markup");
    QTest::addColumn<QString>("body");

    QTest::newRow("one photo") << 1 << true << false << u"Lake <Louise> & more is new on Lumivale."_s;
    QTest::newRow("sixty photos, markup read")
        << 60 << true << true << u"Lake &lt;Louise&gt; &amp; more and 59 more new photos are on Lumivale."_s;
    QTest::newRow("thumbnail missing")
        << 2 << false << false << u"Lake <Louise> & more and 1 more new photos are on Lumivale."_s;
}

void DailyNotifierTest::announcesTodaysPhotos()
{
    QFETCH(int, count);
    QFETCH(bool, thumbnail);
    QFETCH(bool, markup);
    QFETCH(QString, body);

    serveToday(count, u"Lake <Louise> & more"_s, thumbnail);
    if (markup)
        m_server->capabilities.append(u"body-markup"_s);
    QSignalSpy attempts(m_daily.get(), &DailyNotifier::attemptFinished);
    runFrom(QTime(9, 59, 30), 1min);
    QTRY_COMPARE(attempts.size(), 1);

    QCOMPARE(m_server->shown.size(), 1);
    const FakeNotificationServer::Shown& shown = m_server->shown.first();
    QCOMPARE(shown.app, u"Lumivale"_s);
    QCOMPARE(shown.summary, u"Today's photos"_s);
    QCOMPARE(shown.body, body);
    QVERIFY(shown.actions.contains(u"default"_s));
    QCOMPARE(shown.hints.value(u"desktop-entry"_s).toString(), u"lumivale-desktop"_s);
    QCOMPARE(shown.hints.contains(u"image-path"_s), thumbnail);
    if (thumbnail)
        QVERIFY(!QImage(shown.hints.value(u"image-path"_s).toString()).isNull());
    QVERIFY(lumi::test::logLines(u"notifier"_s).contains(u"today's photos posted (%1)"_s.arg(count)));
}

void DailyNotifierTest::thumbnailFollowsRedirectsOnlyToAllowedAddresses_data()
{
    QTest::addColumn<bool>("elsewhere"); // else to the same CDN
    QTest::newRow("to the same CDN") << false;
    QTest::newRow("to another host over http") << true;
}

void DailyNotifierTest::thumbnailFollowsRedirectsOnlyToAllowedAddresses()
{
    QFETCH(bool, elsewhere);

    lumi::test::ForeignHost other;
    QVERIFY(other.isListening());
    serveToday(1, u"Lake"_s, false);
    const QString thumbnail = u"/cdn/no-such-photo/640x360.jpg"_s;
    const QString photo = u"/cdn/212043f1-bd79-432e-9fb8-1513f8c0ba20/640x360.jpg"_s;
    const QUrl target = elsewhere ? other.url(photo) : m_sandbox->serverUrl().resolved(QUrl(photo));
    QVERIFY(m_sandbox->addFault({{u"path"_s, thumbnail}, {u"redirect"_s, target.toString()}}));
    QSignalSpy attempts(m_daily.get(), &DailyNotifier::attemptFinished);
    runFrom(QTime(9, 59, 30), 1min);
    QTRY_COMPARE(attempts.size(), 1);

    QCOMPARE(m_server->shown.size(), 1);
    QCOMPARE(m_server->shown.first().hints.contains(u"image-path"_s), !elsewhere);
    QCOMPARE(other.knocks(), 0);
}

void DailyNotifierTest::clickOpensTodayAndCloseRemovesThePicture()
{
    QSignalSpy attempts(m_daily.get(), &DailyNotifier::attemptFinished);
    QSignalSpy opened(m_daily.get(), &DailyNotifier::todayRequested);
    runFrom(QTime(9, 59, 30), 1min);
    QTRY_COMPARE(attempts.size(), 1);
    const QString picture = m_server->shown.first().hints.value(u"image-path"_s).toString();
    QVERIFY(QFile::exists(picture));

    emit m_server->ActionInvoked(1, u"default"_s);
    QTRY_COMPARE(opened.size(), 1);
    emit m_server->NotificationClosed(1, 2);
    QTRY_VERIFY(!QFile::exists(picture));
}

void DailyNotifierTest::withoutANotificationServiceNothingIsShown()
{
    QDBusConnection service = m_bus->connect(u"notifications"_s);
    service.unregisterService(u"org.freedesktop.Notifications"_s);
    QSignalSpy attempts(m_daily.get(), &DailyNotifier::attemptFinished);
    runFrom(QTime(9, 59, 30), 1min);
    QTRY_COMPARE(attempts.size(), 1);
    QVERIFY(m_server->shown.isEmpty());
    QVERIFY(lumi::test::logLines(u"notifier"_s).contains(u"today's photos: notifications not allowed (1)"_s));
}

QTEST_GUILESS_MAIN(DailyNotifierTest)
#include "DailyNotifierTest.moc"
