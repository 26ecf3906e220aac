#pragma once

#include "state/DailyNotifications.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the daily notifier, which is not built yet.
class RecordingNotifications final : public DailyNotifications
{
public:
    explicit RecordingNotifications(CallJournal& journal) : m_journal(journal) {}

    void start() override { m_journal.record(QStringLiteral("notifications.start")); }
    void stop() override { m_journal.record(QStringLiteral("notifications.stop")); }
    void requestAuthorization() override { m_journal.record(QStringLiteral("notifications.authorize")); }
    QCoro::Task<bool> canNotify() override { co_return shown; }

    /// What canNotify answers.
    bool shown = true;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
