#pragma once

#include "model/Medium.h"

#include <QCoroTask>
#include <QImage>

#include <optional>

namespace lumi {

/// Where the player gets the decoded image of a photo.
class PhotoImageSource
{
public:
    virtual ~PhotoImageSource() = default;

    /// The photo's image, or none when it cannot be had; never throws. Entered and resumed on the
    /// main thread. `large` asks for the variant for screens wider than 1920 pixels.
    virtual QCoro::Task<std::optional<QImage>> image(Medium medium, bool large) = 0;
    /// Lets go of every image held for later: the player stopped.
    virtual void clear() = 0;
};

} // namespace lumi
