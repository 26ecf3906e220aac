#pragma once

#include "model/Medium.h"

#include <QImage>
#include <QUuid>

namespace lumi {

/// A photo on screen. The id is new for every showing, so the same photo shown twice is a new
/// photo to the effects and still gets its transition.
struct ShownPhoto final
{
    QUuid id{};
    Medium medium{};
    QImage image{};

    bool operator==(const ShownPhoto& other) const
    {
        return id == other.id && medium == other.medium && image.cacheKey() == other.image.cacheKey();
    }
};

} // namespace lumi
