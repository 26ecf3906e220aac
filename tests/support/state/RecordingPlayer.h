#pragma once

#include "state/SaverPlayer.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the screen-saver player, which is not built yet.
class RecordingPlayer final : public SaverPlayer
{
public:
    explicit RecordingPlayer(CallJournal& journal) : m_journal(journal) {}

    bool isShowing() const override { return showing; }
    void stop() override
    {
        m_journal.record(QStringLiteral("player.stop"));
        showing = false;
    }

    bool showing = false;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
