#pragma once

#include "state/SaverPlayer.h"
#include "support/state/CallJournal.h"

namespace lumi::test {

/// Stands in for the screen-saver player, which is not built yet: records starts as
/// "player.startSaver(<photos>,<effect or random>)" and "player.showGallery(<photos>,<start>,<mode>)"
/// and keeps what it was handed last.
class RecordingPlayer final : public SaverPlayer
{
public:
    explicit RecordingPlayer(CallJournal& journal) : m_journal(journal) {}

    bool isShowing() const override { return showing; }
    void startSaver(QList<Medium> media, std::optional<SaverEffect> effect, PlaySettings settings) override
    {
        m_journal.record(QStringLiteral("player.startSaver(%1,%2)")
                             .arg(media.size())
                             .arg(effect ? effect->value() : QStringLiteral("random")));
        // Like the player: nothing opens without photos or over a running show.
        if (!media.isEmpty() && !showing)
            showing = true;
        lastMedia = std::move(media);
        lastSettings = settings;
    }
    void showGallery(QList<Medium> media, int start, PlayMode mode, PlaySettings settings) override
    {
        m_journal.record(
            QStringLiteral("player.showGallery(%1,%2,%3)").arg(media.size()).arg(start).arg(mode.text()));
        lastMedia = std::move(media);
        lastSettings = settings;
    }
    void stop() override
    {
        m_journal.record(QStringLiteral("player.stop"));
        showing = false;
    }

    bool showing = false;
    QList<Medium> lastMedia;
    PlaySettings lastSettings;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
