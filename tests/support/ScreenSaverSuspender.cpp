#include "support/ScreenSaverSuspender.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace lumi::test {

struct ScreenSaverSuspender::Connection
{
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
    ::Display* display = nullptr;
};

ScreenSaverSuspender::ScreenSaverSuspender() : m_connection(std::make_unique<Connection>())
{
    m_connection->display = XOpenDisplay(nullptr);
}

ScreenSaverSuspender::~ScreenSaverSuspender() = default;

bool ScreenSaverSuspender::isConnected() const
{
    return m_connection->display != nullptr;
}

void ScreenSaverSuspender::suspend(bool suspended)
{
    if (!m_connection->display)
        return;
    XScreenSaverSuspend(m_connection->display, suspended ? True : False);
    XSync(m_connection->display, False);
}

void ScreenSaverSuspender::disconnect()
{
    m_connection = std::make_unique<Connection>();
}

} // namespace lumi::test
