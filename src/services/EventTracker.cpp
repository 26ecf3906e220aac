#include "services/EventTracker.h"

#include "model/APIClient.h"
#include "model/Account.h"
#include "model/Clock.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"

#include <QJsonDocument>
#include <QPointer>
#include <QSet>
#include <QUuid>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

constexpr auto burstDelay = 5s;
constexpr auto loopInterval = 60s;

QString newID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
}

} // namespace

EventTracker::EventTracker(const Account& account, APIClient& api, Clock& clock, Defaults& defaults)
    : m_account(account), m_api(api), m_clock(clock), m_defaults(defaults), m_sessionID(newID())
{
    const QJsonDocument saved =
        QJsonDocument::fromJson(m_defaults.bytesValue(keys::onboardingQueue).value_or(QByteArray()));
    for (const QJsonValue& record : saved.array()) {
        if (record.isObject())
            m_queue.append(record);
    }
}

EventTracker::~EventTracker()
{
    m_ending.cancel();
    m_queuedLatch.cancel();
}

void EventTracker::start()
{
    if (!m_looping) {
        m_looping = true;
        flushEveryMinute();
    }
    if (!m_openedThisSession) {
        m_openedThisSession = true;
        track(u"app-opened"_s, {});
    }
    flush();
}

void EventTracker::track(QString name, QJsonObject properties)
{
    if (!m_account.isSignedIn())
        return;
    m_queue.append(QJsonObject{
        {u"name"_s, name},
        {u"occurred-at"_s, m_clock.now().toUTC().toString(Qt::ISODate)},
        {u"session-id"_s, m_sessionID},
        {u"event-id"_s, newID()},
        {u"properties"_s, properties},
    });
    while (m_queue.size() > queueLimit)
        m_queue.removeFirst();
    store();
    m_queuedLatch.cancel();
    scheduleFlush();
}

void EventTracker::startNewSession()
{
    m_sessionID = newID();
    m_openedThisSession = false;
}

QCoro::Task<void> EventTracker::flush()
{
    if (m_flushing || m_queue.isEmpty() || !m_account.isSignedIn())
        co_return;
    m_flushing = true;
    QJsonArray batch;
    QSet<QString> sent;
    for (qsizetype i = 0; i < std::min(batchLimit, m_queue.size()); ++i) {
        batch.append(m_queue[i]);
        sent.insert(m_queue[i][u"event-id"_s].toString());
    }
    const QByteArray body = QJsonDocument(QJsonObject{{u"events"_s, batch}}).toJson(QJsonDocument::Compact);

    QPointer<EventTracker> self(this);
    const bool accepted = co_await m_api.postJSON(u"events"_s, {}, body);
    if (!self)
        co_return;
    m_flushing = false;
    if (!accepted)
        co_return;
    // By id: events tracked while the request was out stay, in order.
    QJsonArray left;
    for (const QJsonValue& record : std::as_const(m_queue)) {
        if (!sent.contains(record[u"event-id"_s].toString()))
            left.append(record);
    }
    m_queue = left;
    store();
    if (!m_queue.isEmpty())
        scheduleFlush();
}

void EventTracker::store()
{
    m_defaults.setValue(keys::onboardingQueue, QJsonDocument(m_queue).toJson(QJsonDocument::Compact));
}

void EventTracker::scheduleFlush()
{
    // A burst goes up 5 seconds after its first event; later ones do not push it back.
    if (m_flushScheduled)
        return;
    m_flushScheduled = true;
    flushAfterDelay();
}

QCoro::Task<void> EventTracker::flushAfterDelay()
{
    QPointer<EventTracker> self(this);
    const CancelToken ending = m_ending;
    const bool slept = co_await m_clock.sleep(burstDelay, ending);
    if (!slept || !self)
        co_return;
    m_flushScheduled = false;
    co_await flush();
}

QCoro::Task<void> EventTracker::flushEveryMinute()
{
    QPointer<EventTracker> self(this);
    const CancelToken ending = m_ending;
    for (;;) {
        // With nothing queued there is nothing to send: the loop sleeps until an event comes, so
        // an idle app does not wake each minute.
        if (m_queue.isEmpty()) {
            m_queuedLatch = CancelToken();
            co_await CancelToken::untilCancelled(m_queuedLatch);
            if (ending.isCancelled() || !self)
                co_return;
        }
        if (!co_await m_clock.sleep(loopInterval, ending) || !self)
            co_return;
        co_await flush();
        if (!self)
            co_return;
    }
}

} // namespace lumi
