#pragma once

#include "state/IdleWatch.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the idle monitor, which is not built yet.
class RecordingIdleWatch final : public IdleWatch
{
public:
    explicit RecordingIdleWatch(CallJournal& journal) : m_journal(journal) {}

    void start() override { m_journal.record(QStringLiteral("idle.start")); }
    void stop() override { m_journal.record(QStringLiteral("idle.stop")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
