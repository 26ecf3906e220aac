#pragma once

#include "state/AppTakeover.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the take-over of the older app, which is not built yet.
class RecordingTakeover final : public AppTakeover
{
public:
    explicit RecordingTakeover(CallJournal& journal) : m_journal(journal) {}

    void postReplacedEvent() override { m_journal.record(QStringLiteral("takeover.postReplacedEvent")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
