#pragma once

#include <memory>

namespace lumi {

/// Whether some X client keeps the server's screen saver suspended (XScreenSaverSuspend), as
/// video players and games on X11 do. The server does not report the suspension itself; each
/// suspending client holds one "SaverSuspend" resource, which the X-Resource extension lists.
/// One connection of its own to $DISPLAY; without it or without the extension the answer is no.
class X11SaverSuspension final
{
public:
    X11SaverSuspension();
    ~X11SaverSuspension();
    X11SaverSuspension(const X11SaverSuspension&) = delete;
    X11SaverSuspension& operator=(const X11SaverSuspension&) = delete;

    /// Asks the server, in one round trip for all its clients.
    bool isHeld() const;

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

} // namespace lumi
