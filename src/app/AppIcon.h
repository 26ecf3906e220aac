#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

#include <array>

namespace lumi {

/// The app's icon, drawn from one set of shapes: as pixels for the windows and the tray icon, and
/// as SVG for the desktop's icon theme, so the two never drift apart.
class AppIcon final
{
public:
    AppIcon() = delete;

    /// The name the desktop entry and the icon theme know it by.
    static constexpr const char* themeName = "lumivale-desktop";
    /// The square sizes installed as PNGs beside the SVG.
    static constexpr std::array<int, 8> pixelSizes{16, 22, 24, 32, 48, 64, 128, 256};

    static QImage image(int size);
    static QByteArray svg();
    /// Every pixel size, for windows and the tray.
    static QIcon icon();
};

} // namespace lumi
