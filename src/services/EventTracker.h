#pragma once

#include "model/CancelToken.h"
#include "state/EventSink.h"

#include <QCoroTask>
#include <QJsonArray>
#include <QObject>

namespace lumi {

class APIClient;
class Account;
class Clock;
class Defaults;

/// The analytics events of the signed-in user: a queue kept under "onboarding-queue" (so it
/// survives restarts) and uploaded to POST "events" in batches of 100, 5 seconds after the first
/// event that finds no upload scheduled, every 60 seconds while anything is queued and at each
/// session start.
class EventTracker final : public QObject, public EventSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EventTracker)

public:
    static constexpr qsizetype queueLimit = 1000;
    static constexpr qsizetype batchLimit = 100;

    /// Reads back the queue an earlier run left.
    EventTracker(const Account& account, APIClient& api, Clock& clock, Defaults& defaults);
    ~EventTracker() override;

    void start() override;
    void track(QString name, QJsonObject properties) override;
    void startNewSession() override;

    /// Sends the oldest batch; a failed one stays queued for the next flush. Nothing while signed
    /// out, while another flush runs or with nothing queued.
    QCoro::Task<void> flush();
    qsizetype queued() const { return m_queue.size(); }

private:
    void store();
    void scheduleFlush();
    QCoro::Task<void> flushAfterDelay();
    QCoro::Task<void> flushEveryMinute();

    const Account& m_account;
    APIClient& m_api;
    Clock& m_clock;
    Defaults& m_defaults;
    QJsonArray m_queue;
    QString m_sessionID;
    bool m_flushing = false;
    bool m_flushScheduled = false;
    bool m_looping = false;
    bool m_openedThisSession = false;
    // Wakes the sleeping schedule and loop when the tracker goes.
    CancelToken m_ending;
    // Fired by each queued event; the minute loop waits on it while the queue is empty.
    CancelToken m_queuedLatch;
};

} // namespace lumi
