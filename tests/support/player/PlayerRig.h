#pragma once

#include "model/Defaults.h"
#include "player/PlayerModel.h"
#include "support/ManualClock.h"
#include "support/player/SolidPhotoSource.h"

#include <QTemporaryDir>

#include <memory>

namespace lumi::test {

/// A play model over colour photos (in order, large variants), on a manual clock, with its own
/// settings store. Nothing plays until the test starts it.
class PlayerRig final
{
public:
    PlayerRig(PlayMode mode, const QStringList& colours, double pauseSeconds = 3);
    PlayerRig(PlayMode mode, const QStringList& colours, PlaySettings settings);
    ~PlayerRig();
    PlayerRig(const PlayerRig&) = delete;
    PlayerRig& operator=(const PlayerRig&) = delete;

    /// Moves the clock and lets whatever woke run.
    void advance(std::chrono::milliseconds by);
    /// The uuid (colour) of the photo on screen, "-" for none.
    QString shown() const;

    QTemporaryDir home;
    ManualClock clock;
    SolidPhotoSource photos;
    Defaults defaults;
    std::unique_ptr<PlayerModel> model;
};

} // namespace lumi::test
