#pragma once

#include "state/ShortcutRegistry.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the global shortcuts, which are not built yet.
class RecordingShortcuts final : public ShortcutRegistry
{
public:
    explicit RecordingShortcuts(CallJournal& journal) : m_journal(journal) {}

    void registerShortcuts() override { m_journal.record(QStringLiteral("shortcuts.register")); }
    void unregisterAll() override { m_journal.record(QStringLiteral("shortcuts.unregisterAll")); }

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
