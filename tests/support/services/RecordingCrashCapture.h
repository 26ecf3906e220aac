#pragma once

#include "services/CrashCapture.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for crash capture, which is not built yet.
class RecordingCrashCapture final : public CrashCapture
{
public:
    explicit RecordingCrashCapture(CallJournal& journal) : m_journal(journal) {}

    void install() override { m_journal.record(QStringLiteral("crash.install")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
