#include "player/PlayerEffect.h"

namespace lumi {

void PlayerEffect::photoChanged(const std::optional<ShownPhoto>&, Transition) {}

bool PlayerEffect::coversArea(QSizeF, std::chrono::milliseconds) const
{
    return false;
}

} // namespace lumi
