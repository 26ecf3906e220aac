#pragma once

#include "state/AppTakeover.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Records the session's call into the take-over of the older app.
class RecordingTakeover final : public AppTakeover
{
public:
    explicit RecordingTakeover(CallJournal& journal) : m_journal(journal) {}

    void postReplacedEvent() override { m_journal.record(QStringLiteral("takeover.postReplacedEvent")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
