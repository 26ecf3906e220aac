#pragma once

#include "player/ShownPhoto.h"
#include "player/Transition.h"

#include <QObject>
#include <QSizeF>

#include <chrono>
#include <optional>

class QPainter;

namespace lumi {

/// One way of showing the play model's photos. A frame is a pure function of the time it is
/// drawn for, so a window, a test and the benchmark draw the same picture for the same moment.
class PlayerEffect : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayerEffect)

public:
    PlayerEffect() = default;

    /// Draws the effect over black into `area` (pixels) as it is at `now` on the monotonic clock.
    /// Reads no clock; caches of pre-scaled photos may be filled.
    virtual void paint(QPainter& painter, QSizeF area, std::chrono::milliseconds now) = 0;
    /// The model put another photo (or none) on screen with this transition. The effects that
    /// pace themselves ignore it.
    virtual void photoChanged(const std::optional<ShownPhoto>& photo, Transition transition);
    /// Whether the frame at `now` may differ from later ones: windows repaint only while it does.
    virtual bool isMoving(std::chrono::milliseconds now) const = 0;
    /// Whether the frame at `now` sets every pixel of `area` opaque, as over black, so the stage
    /// need not clear it first.
    virtual bool coversArea(QSizeF area, std::chrono::milliseconds now) const;

signals:
    /// Something changed that no transition announced (a self-paced photo arrived).
    void changed();
};

} // namespace lumi
