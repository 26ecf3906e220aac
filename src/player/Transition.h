#pragma once

#include "model/PlayMode.h"

#include <QtGlobal>

#include <chrono>

namespace lumi {

/// How a new photo replaces the one before it: an ease-in-out animation that starts at a moment of
/// the monotonic clock. Effects evaluate it at the time of each frame; it reads no clock itself.
struct Transition final
{
    std::chrono::milliseconds start{0};
    std::chrono::milliseconds duration{0};

    /// The photo change of a mode: 1.2 s for the slider, 2.0 s for reflections, else 1.6 s.
    static Transition forMode(const PlayMode& mode, std::chrono::milliseconds start);
    /// Eased progress from 0 at the start to 1 at the end, held at both ends.
    qreal progress(std::chrono::milliseconds now) const;
    /// Linear progress, held at both ends.
    qreal linearProgress(std::chrono::milliseconds now) const;
    std::chrono::milliseconds end() const { return start + duration; }

    bool operator==(const Transition&) const = default;
};

} // namespace lumi
