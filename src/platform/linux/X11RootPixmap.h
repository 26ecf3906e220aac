#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

namespace lumi {

/// Paints pictures into the X root window's background pixmap, the convention that plain X11
/// desktops, compositors and pseudo-transparent terminals read (_XROOTPMAP_ID, ESETROOT_PMAP_ID).
/// Each call opens its own short-lived X connection and blocks: run it off the main thread.
class X11RootPixmap final
{
public:
    X11RootPixmap() = delete;

    /// Paints picture (or, when it is null, the picture at file) covering the monitor called
    /// monitorName (or fallbackArea, in root pixels, when the X server knows no monitor of that
    /// name), keeps the rest of the current background and publishes it. The pixmap this process
    /// published last is painted in place while both properties still name it and the screen kept
    /// its size; otherwise a new one starts as a copy of the current background and the previous
    /// one is freed when both properties named it. display empty means $DISPLAY. Returns an empty
    /// string on success, else the reason.
    static QString paint(const QByteArray& display, const QString& monitorName, const QRect& fallbackArea,
                         const QString& file, const QImage& picture);
};

} // namespace lumi
