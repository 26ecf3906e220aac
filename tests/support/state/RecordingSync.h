#pragma once

#include "state/SyncScheduler.h"
#include "support/state/CallJournal.h"

#include <QHash>

namespace lumi::test {

/// Stands in for the playlist sync, which is not built yet: records requests as
/// "sync.request(<seconds>s,<force>)" and hands out the local photos a test put in.
class RecordingSync final : public SyncScheduler
{
public:
    explicit RecordingSync(CallJournal& journal) : m_journal(journal) {}

    void requestSync(std::chrono::milliseconds delay, bool force) override
    {
        m_journal.record(QStringLiteral("sync.request(%1s,%2)")
                             .arg(std::chrono::duration_cast<std::chrono::seconds>(delay).count())
                             .arg(force ? QStringLiteral("force") : QStringLiteral("normal")));
    }
    void cancelSync() override { m_journal.record(QStringLiteral("sync.cancel")); }
    QList<Medium> albumMedia(const Album& album) const override { return localMedia.value(album.id); }

    QHash<qint64, QList<Medium>> localMedia;

private:
    CallJournal& m_journal;
};

} // namespace lumi::test
