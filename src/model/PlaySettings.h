#pragma once

#include "model/User.h"

#include <optional>

namespace lumi {

/// How the player shows photos, taken from the user's screen-saver settings.
struct PlaySettings final
{
    double pauseSeconds = 10;
    bool shuffle = false;
    /// Fill the screen, cutting off what overflows, rather than fit the whole photo.
    bool crop = false;
    bool showTitles = true;

    /// The settings of the signed-in user; without one, 10 s, in order, fitted, with titles.
    static PlaySettings forUser(const std::optional<User>& user);

    bool operator==(const PlaySettings&) const = default;
};

} // namespace lumi
