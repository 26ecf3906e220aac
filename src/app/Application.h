#pragma once

#include <QStringList>

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace lumi {

class Clock;

/// The composition root: creates every long-lived service once, in start-up order, and owns it.
class Application final
{
public:
    explicit Application(QStringList arguments);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    int run();

private:
    QStringList m_arguments;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<QSystemTrayIcon> m_tray;
};

} // namespace lumi
