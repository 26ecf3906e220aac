#pragma once

#include "state/SaverPlayer.h"

namespace lumi {

/// Stands in for the screen-saver player until it is built: never showing.
class StandbyPlayer final : public SaverPlayer
{
public:
    bool isShowing() const override { return false; }
    void startSaver(QList<Medium>, std::optional<SaverEffect>, PlaySettings) override {}
    void showGallery(QList<Medium>, int, PlayMode, PlaySettings) override {}
    void stop() override {}
};

} // namespace lumi
