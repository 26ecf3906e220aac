#include "services/EventTracker.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "model/User.h"
#include "services/CrashReporter.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"

#include <QCoroTask>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::EventTracker;
using lumi::test::SandboxFixture;

class EventTrackerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void burstGoesUpOnceFiveSecondsAfterItsStart();
    void largeQueueGoesUpInBatches();
    void queueKeepsTheNewestThousand();
    void eventsTrackedDuringAnUploadStay();
    void failedUploadKeepsTheQueueAcrossRuns();
    void appOpenedOncePerSession();
    void nothingWhileSignedOut();
    void minuteLoopSleepsWhileNothingIsQueued();

private:
    std::unique_ptr<EventTracker> makeTracker();
    /// The "events" arrays of every POST "events" so far.
    QList<QJsonArray> uploads();
    void signIn(bool in);

    std::unique_ptr<SandboxFixture> m_sandbox;
    std::unique_ptr<lumi::test::ManualClock> m_clock;
    std::unique_ptr<lumi::CrashReporter> m_reporter;
    std::unique_ptr<lumi::APIClient> m_api;
    std::unique_ptr<lumi::Account> m_account;
    std::unique_ptr<EventTracker> m_tracker;
    QString m_token;
};

void EventTrackerTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_clock = std::make_unique<lumi::test::ManualClock>();
    m_reporter = std::make_unique<lumi::CrashReporter>();
    m_api = std::make_unique<lumi::APIClient>(*m_reporter);
    m_token = m_sandbox->signInToken();
    m_api->setToken(m_token);
    m_account = std::make_unique<lumi::Account>();
    signIn(true);
    m_tracker = makeTracker();
    m_sandbox->clearRequests();
}

void EventTrackerTest::cleanup()
{
    m_tracker.reset();
    // The tracker's cancelled sleeps resume on the next turn, while the clock still exists.
    QTest::qWait(0);
    m_api.reset();
    m_reporter.reset();
    m_account.reset();
    m_clock.reset();
    m_sandbox.reset();
}

std::unique_ptr<EventTracker> EventTrackerTest::makeTracker()
{
    return std::make_unique<EventTracker>(*m_account, *m_api, *m_clock, lumi::Defaults::shared());
}

QList<QJsonArray> EventTrackerTest::uploads()
{
    QList<QJsonArray> sent;
    for (const QJsonValue& request : m_sandbox->requests()) {
        if (request[u"path"_s].toString() == u"/api/v6/events"_s)
            sent.append(
                QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8())[u"events"_s].toArray());
    }
    return sent;
}

void EventTrackerTest::signIn(bool in)
{
    m_account->setHasSessionToken(in);
    lumi::User user;
    user.uuid = u"u-1"_s;
    m_account->setUser(in ? std::optional(user) : std::nullopt);
}

void EventTrackerTest::burstGoesUpOnceFiveSecondsAfterItsStart()
{
    m_tracker->track(u"album-opened"_s, {{u"is-playlist"_s, true}});
    for (int i = 0; i < 9; ++i) {
        m_clock->advance(400ms);
        m_tracker->track(u"search"_s, {{u"query-length"_s, i}});
    }
    QTest::qWait(50);
    QVERIFY(uploads().isEmpty());
    m_clock->advance(1500ms);
    QTRY_COMPARE(uploads().size(), 1);
    const QJsonArray events = uploads().first();
    QCOMPARE(events.size(), 10);
    const QJsonObject first = events.first().toObject();
    QCOMPARE(first.keys(),
             (QStringList{u"event-id"_s, u"name"_s, u"occurred-at"_s, u"properties"_s, u"session-id"_s}));
    QCOMPARE(first[u"occurred-at"_s].toString(), u"2026-12-10T09:00:00Z"_s);
    QCOMPARE(first[u"properties"_s][u"is-playlist"_s], QJsonValue(true));
    QCOMPARE(events.last()[u"properties"_s][u"query-length"_s], QJsonValue(8));
    QTRY_COMPARE(m_tracker->queued(), 0);
    QCOMPARE(lumi::Defaults::shared().bytesValue(lumi::keys::onboardingQueue), QByteArray("[]"));
    // The session token travels in the header only.
    const QJsonObject request = m_sandbox->requests().first().toObject();
    QCOMPARE(request[u"headers"_s][u"authorization"_s].toString(), u"Bearer "_s + m_token);
    QVERIFY(!request[u"body"_s].toString().contains(m_token));
}

void EventTrackerTest::largeQueueGoesUpInBatches()
{
    for (int i = 0; i < 250; ++i)
        m_tracker->track(u"search"_s, {{u"query-length"_s, i}});
    QList<qsizetype> sizes;
    for (int pass = 0; pass < 3; ++pass) {
        m_clock->advance(5s);
        QTRY_COMPARE(uploads().size(), pass + 1);
        sizes.append(uploads().last().size());
    }
    QCOMPARE(sizes, (QList<qsizetype>{100, 100, 50}));
    QCOMPARE(uploads().last().last()[u"properties"_s][u"query-length"_s], QJsonValue(249));
}

void EventTrackerTest::queueKeepsTheNewestThousand()
{
    for (int i = 0; i <= EventTracker::queueLimit; ++i)
        m_tracker->track(u"search"_s, {{u"query-length"_s, i}});
    QCOMPARE(m_tracker->queued(), EventTracker::queueLimit);
    m_tracker.reset();
    const QJsonArray kept =
        QJsonDocument::fromJson(*lumi::Defaults::shared().bytesValue(lumi::keys::onboardingQueue)).array();
    QCOMPARE(kept.size(), EventTracker::queueLimit);
    QCOMPARE(kept.first()[u"properties"_s][u"query-length"_s], QJsonValue(1));
}

void EventTrackerTest::eventsTrackedDuringAnUploadStay()
{
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/events"_s}, {u"delayMs"_s, 500}, {u"times"_s, 1}}));
    m_tracker->track(u"first"_s, {});
    auto upload = m_tracker->flush();
    m_tracker->track(u"second"_s, {});
    QCoro::waitFor(std::move(upload));
    QCOMPARE(m_tracker->queued(), 1);
    m_clock->advance(5s);
    QTRY_COMPARE(uploads().size(), 2);
    QCOMPARE(uploads().last().first()[u"name"_s].toString(), u"second"_s);
}

void EventTrackerTest::failedUploadKeepsTheQueueAcrossRuns()
{
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/events"_s}, {u"status"_s, 500}}));
    m_tracker->track(u"kept"_s, {});
    QCoro::waitFor(m_tracker->flush());
    QCOMPARE(uploads().size(), 1);
    QCOMPARE(m_tracker->queued(), 1);

    m_sandbox->clearFaults();
    m_tracker = makeTracker();
    QCOMPARE(m_tracker->queued(), 1);
    QCoro::waitFor(m_tracker->flush());
    QCOMPARE(uploads().size(), 2);
    QCOMPARE(uploads().last().first()[u"name"_s].toString(), u"kept"_s);
}

void EventTrackerTest::appOpenedOncePerSession()
{
    auto opened = [this] {
        int count = 0;
        for (const QJsonArray& events : uploads()) {
            for (const QJsonValue& event : events)
                count += event[u"name"_s].toString() == u"app-opened"_s;
        }
        return count;
    };
    m_tracker->start();
    QTRY_COMPARE(opened(), 1);
    m_tracker->start();
    QTest::qWait(100);
    QCOMPARE(opened(), 1);
    m_tracker->startNewSession();
    m_tracker->start();
    QTRY_COMPARE(opened(), 2);
}

void EventTrackerTest::nothingWhileSignedOut()
{
    m_tracker->track(u"queued before"_s, {});
    signIn(false);
    m_tracker->track(u"dropped"_s, {});
    QCoro::waitFor(m_tracker->flush());
    QVERIFY(uploads().isEmpty());
    QCOMPARE(m_tracker->queued(), 1);

    signIn(true);
    m_clock->advance(60s);
    QTRY_COMPARE(uploads().size(), 1);
    QCOMPARE(uploads().first().size(), 1);
}

void EventTrackerTest::minuteLoopSleepsWhileNothingIsQueued()
{
    m_tracker->start();
    QTRY_COMPARE(uploads().size(), 1);
    m_clock->advance(60s);
    // Everything is sent: no schedule, no minute loop is left waiting on the clock.
    QTRY_COMPARE(m_clock->sleeperCount(), 0);

    // An event wakes the loop, which retries a failed burst a minute after the event.
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/events"_s}, {u"status"_s, 500}, {u"times"_s, 1}}));
    m_tracker->track(u"retried"_s, {});
    QTRY_COMPARE(m_clock->sleeperCount(), 2); // the burst's five seconds and the loop's minute
    m_clock->advance(5s);
    QTRY_COMPARE(uploads().size(), 2);
    m_clock->advance(54s);
    QTest::qWait(50);
    QCOMPARE(uploads().size(), 2);
    m_clock->advance(1s);
    QTRY_COMPARE(uploads().size(), 3);
    QCOMPARE(uploads().last().first()[u"name"_s].toString(), u"retried"_s);
    QTRY_COMPARE(m_tracker->queued(), 0);
    QTRY_COMPARE(m_clock->sleeperCount(), 0);
}

QTEST_GUILESS_MAIN(EventTrackerTest)
#include "EventTrackerTest.moc"
