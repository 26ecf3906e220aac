#pragma once

#include "state/SyncScheduler.h"

namespace lumi {

/// Stands in for the playlist sync until it is built: no pass runs, no folder holds photos.
class StandbySync final : public SyncScheduler
{
public:
    void requestSync(std::chrono::milliseconds, bool) override {}
    void cancelSync() override {}
    QList<Medium> albumMedia(const Album&) const override { return {}; }
    // No root: no photo file counts as the app's own, so none is ever trashed.
    QString playlistRoot() const override { return {}; }
    std::optional<QString> albumFolder(const Album&) const override { return std::nullopt; }
    QList<Medium> saverFolderPhotos() const override { return {}; }
};

} // namespace lumi
