#pragma once

#include "platform/SingleInstance.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the single-instance lock: this copy is the first unless a test says another runs.
class RecordingSingleInstance final : public SingleInstance
{
public:
    explicit RecordingSingleInstance(CallJournal& journal, bool anotherRuns = false)
        : m_journal(journal), m_anotherRuns(anotherRuns)
    {
    }

    bool claim() override
    {
        m_journal.record(QStringLiteral("singleInstance.claim"));
        return !m_anotherRuns;
    }
    QCoro::Task<bool> handOver() override
    {
        m_journal.record(QStringLiteral("singleInstance.handOver"));
        co_return true;
    }
    /// What a later copy's request looks like to this one.
    void secondCopyStarted() { emit activationRequested(); }

private:
    CallJournal& m_journal;
    bool m_anotherRuns;
};

} // namespace lumi::test
