#pragma once

#include "platform/CrashHandlers.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Records the arming of the crash handlers instead of taking over the test's own signals.
class RecordingCrashHandlers final : public CrashHandlers
{
public:
    explicit RecordingCrashHandlers(CallJournal& journal) : m_journal(journal) {}

    void install(const QString&, const QString&) override
    {
        m_journal.record(QStringLiteral("crash.install"));
    }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
