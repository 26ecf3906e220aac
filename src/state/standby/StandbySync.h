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
};

} // namespace lumi
