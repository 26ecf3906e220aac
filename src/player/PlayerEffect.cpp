#include "player/PlayerEffect.h"

namespace lumi {

void PlayerEffect::photoChanged(const std::optional<ShownPhoto>&, Transition) {}

} // namespace lumi
