#pragma once

#include "state/ShortcutRegistry.h"
#include "support/state/CallJournal.h"

#include <QSet>

namespace lumi::test {

/// Stands in for the global shortcuts where the keys are not what a test is about. Registering
/// holds both shortcuts unless a test marked one as taken by another client or the desktop as
/// offering none.
class RecordingShortcuts final : public ShortcutRegistry
{
public:
    explicit RecordingShortcuts(CallJournal& journal) : m_journal(journal) {}

    void registerShortcuts() override
    {
        m_journal.record(QStringLiteral("shortcuts.register"));
        wanted = true;
        if (!supported)
            return;
        for (const Shortcut shortcut : {Shortcut::nextWallpaper, Shortcut::startSaver}) {
            if (!taken.contains(shortcut))
                registered.insert(shortcut);
        }
    }
    void unregisterAll() override
    {
        m_journal.record(QStringLiteral("shortcuts.unregisterAll"));
        wanted = false;
        registered.clear();
    }
    bool isRegistered(Shortcut shortcut) const override { return registered.contains(shortcut); }
    State state(Shortcut shortcut) const override
    {
        if (!supported)
            return State::unavailable;
        if (!wanted)
            return State::off;
        return registered.contains(shortcut) ? State::held : State::taken;
    }

    QSet<Shortcut> registered;
    QSet<Shortcut> taken;
    /// False as on Wayland: nothing can be registered.
    bool supported = true;
    bool wanted = false;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
