#pragma once

#include <memory>

namespace lumi::test {

/// Another X client, as a video player on X11 is: it suspends the X server's screen saver
/// (XScreenSaverSuspend) while it plays. Its own connection to $DISPLAY; closing it ends the
/// suspension as the server sees a client leave.
class ScreenSaverSuspender final
{
public:
    ScreenSaverSuspender();
    ~ScreenSaverSuspender();
    ScreenSaverSuspender(const ScreenSaverSuspender&) = delete;
    ScreenSaverSuspender& operator=(const ScreenSaverSuspender&) = delete;

    bool isConnected() const;
    /// Suspends or resumes, and waits until the server has taken it.
    void suspend(bool suspended);
    /// Leaves without resuming.
    void disconnect();

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

} // namespace lumi::test
