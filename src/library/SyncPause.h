#pragma once

#include <QCoroTask>

namespace lumi {

/// What a move of the photo directory needs of the playlist sync: no pass may write into the old
/// folders while they are copied, nor after the move until the relaunch.
class SyncPause
{
public:
    virtual ~SyncPause() = default;

    /// Cancels the waiting request and the running pass, resumes once that pass has ended, and
    /// refuses further requests until `resume`.
    virtual QCoro::Task<void> pauseSync() = 0;
    /// Takes requests again (after a move that failed).
    virtual void resumeSync() = 0;
};

} // namespace lumi
