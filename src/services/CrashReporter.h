#pragma once

#include "model/AppLog.h"
#include "model/CrashReport.h"
#include "model/ProblemSink.h"

#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QPointer>

namespace lumi {

class APIClient;
class Account;
class Clock;
class CrashHandlers;

/// Turns crashes and non-fatal problems into crash records, keeps them as JSON files in the spool
/// "native-crashes" of the data folder and uploads them to POST "crashes". At most 5 records a
/// fingerprint are written per local day and the spool keeps at most 50; reports beyond are only
/// logged. Records wait in the spool until the API client is attached, which uploads them.
class CrashReporter final : public QObject, public ProblemSink
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CrashReporter)

public:
    static constexpr int dailyLimit = 5;
    static constexpr int spoolLimit = 50;

    CrashReporter();
    ~CrashReporter() override;

    /// The launch step: reports the crash the previous run left (with the end of the log), arms
    /// the handlers for this run and uploads the spool 15 seconds later.
    void install(CrashHandlers& handlers);
    /// The client that uploads, the session whose state goes into each record and the clock whose
    /// local date the daily limit counts. Made after the reporter, so attached later; the records
    /// waiting for it go up at once.
    void attach(APIClient& api, const Account& account, const Clock& clock);

    void report(const CrashReport& report) override;
    /// Uploads the spool's records one by one until the first that fails, which stays with all
    /// after it for a later pass. One pass at a time; none before attach.
    QCoro::Task<void> flush();

    static QString spoolFolder();

signals:
    void reported(const lumi::CrashReport& report);

private:
    bool admit(const QString& fingerprint);
    QJsonObject record(const CrashReport& report) const;
    void prune() const;
    QDateTime now() const;

    AppLog m_log;
    QString m_sessionID;
    QPointer<APIClient> m_api;
    QPointer<const Account> m_account;
    const Clock* m_clock = nullptr;
    bool m_flushing = false;
};

} // namespace lumi
