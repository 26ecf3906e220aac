#pragma once

#include "services/OlderAppMigration.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the take-over of the older app, which is not built yet.
class RecordingOlderAppMigration final : public OlderAppMigration
{
public:
    explicit RecordingOlderAppMigration(CallJournal& journal) : m_journal(journal) {}

    void takeOver() override { m_journal.record(QStringLiteral("olderApp.takeOver")); }
    void carryOverSettings() override { m_journal.record(QStringLiteral("olderApp.carryOverSettings")); }
    bool isOldAppRunning() const override { return oldAppRunning; }
    void revealOldApp() override { m_journal.record(QStringLiteral("olderApp.reveal")); }

    bool oldAppRunning = false;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
