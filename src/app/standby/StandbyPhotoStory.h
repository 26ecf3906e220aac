#pragma once

#include "app/PhotoStoryPresenter.h"

namespace lumi {

/// Stands in for the photo-story window until it is built: opens nothing.
class StandbyPhotoStory final : public PhotoStoryPresenter
{
public:
    void showStory(const Medium&) override {}
};

} // namespace lumi
