#pragma once

#include "state/ShortcutRegistry.h"
#include "support/state/CallJournal.h"

#include <QSet>

namespace lumi::test {

/// Stands in for the global shortcuts, which are not built yet. Registering holds both shortcuts
/// unless a test marked one as taken by another client.
class RecordingShortcuts final : public ShortcutRegistry
{
public:
    explicit RecordingShortcuts(CallJournal& journal) : m_journal(journal) {}

    void registerShortcuts() override
    {
        m_journal.record(QStringLiteral("shortcuts.register"));
        for (const Shortcut shortcut : {Shortcut::nextWallpaper, Shortcut::startSaver}) {
            if (!taken.contains(shortcut))
                registered.insert(shortcut);
        }
    }
    void unregisterAll() override
    {
        m_journal.record(QStringLiteral("shortcuts.unregisterAll"));
        registered.clear();
    }
    bool isRegistered(Shortcut shortcut) const override { return registered.contains(shortcut); }

    QSet<Shortcut> registered;
    QSet<Shortcut> taken;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
