#pragma once

#include <QByteArray>
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

    /// Paints the picture at file over the monitor called monitorName (or over fallbackArea, in
    /// root pixels, when the X server knows no monitor of that name), keeps the rest of the current
    /// background, publishes the new pixmap and frees the previous one when both properties named
    /// it. display empty means $DISPLAY. Returns an empty string on success, else the reason.
    static QString paint(const QByteArray& display, const QString& monitorName, const QRect& fallbackArea,
                         const QString& file);
};

} // namespace lumi
