#pragma once

#include "model/Medium.h"

namespace lumi {

/// The photo-story window: a photo with its description, place and source.
class PhotoStoryPresenter
{
public:
    virtual ~PhotoStoryPresenter() = default;

    /// Opens the story of the photo and brings its window forward.
    virtual void showStory(const Medium& photo) = 0;
};

} // namespace lumi
