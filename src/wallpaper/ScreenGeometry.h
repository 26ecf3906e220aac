#pragma once

namespace lumi {

struct DisplayInfo;

/// A display as the wallpaper composition sees it: the frame in device-independent pixels, the
/// insets of panels and docks on each side, and the pixels per device-independent pixel.
struct ScreenGeometry final
{
    double width = 0;
    double height = 0;
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    double scale = 1;

    /// The frame and the panels' insets of a display (each inset at least 0).
    static ScreenGeometry of(const DisplayInfo& display);
    /// Every value finite, the size and scale positive, the insets not negative. Anything else
    /// would turn the layout arithmetic into nonsense.
    bool isUsable() const;

    bool operator==(const ScreenGeometry&) const = default;
};

} // namespace lumi
