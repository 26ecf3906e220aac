#pragma once

#include "library/LocalPhotos.h"
#include "library/PlaylistFolders.h"
#include "library/SyncScheduler.h"
#include "support/state/CallJournal.h"

#include <QHash>

namespace lumi::test {

/// Stands in for the playlist sync, which is not built yet: records requests as
/// "sync.request(<seconds>s,<force>)", hands out the local photos a test put in, and finds
/// playlist folders below root as the sync does.
class RecordingSync final : public SyncScheduler
{
public:
    RecordingSync(CallJournal& journal, const Defaults& defaults) : m_journal(journal), m_defaults(defaults)
    {
    }

    void requestSync(std::chrono::milliseconds delay, bool force) override
    {
        m_journal.record(QStringLiteral("sync.request(%1s,%2)")
                             .arg(std::chrono::duration_cast<std::chrono::seconds>(delay).count())
                             .arg(force ? QStringLiteral("force") : QStringLiteral("normal")));
    }
    void cancelSync() override { m_journal.record(QStringLiteral("sync.cancel")); }
    QList<Medium> albumMedia(const Album& album) const override { return localMedia.value(album.id); }
    QString playlistRoot() const override { return root; }
    std::optional<QString> albumFolder(const Album& album) const override
    {
        if (const std::optional<QString> linked = LocalPhotos::linkedFolder(album, m_defaults))
            return linked;
        return PlaylistFolders::playlistFolder(root, album.title);
    }
    QList<Medium> saverFolderPhotos() const override { return saverPhotos; }
    QList<Medium> syncedSaverPhotos() const override { return syncedSaver; }

    QHash<qint64, QList<Medium>> localMedia;
    QList<Medium> saverPhotos;
    QList<Medium> syncedSaver;
    QString root;

private:
    CallJournal& m_journal;
    const Defaults& m_defaults;
};

} // namespace lumi::test
