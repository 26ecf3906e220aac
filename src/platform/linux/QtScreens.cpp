#include "platform/linux/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>

namespace lumi {

QtScreens::QtScreens(std::chrono::milliseconds settle, QObject* parent) : Screens(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settle);
    connect(&m_settle, &QTimer::timeout, this, &Screens::displaysChanged);

    // Every change restarts the timer, so a burst ends in one notification.
    auto* app = qGuiApp;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        m_settle.start();
    });
    connect(app, &QGuiApplication::screenRemoved, this, [this] { m_settle.start(); });
    connect(app, &QGuiApplication::primaryScreenChanged, this, [this] { m_settle.start(); });
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        watch(screen);
}

void QtScreens::watch(QScreen* screen)
{
    const auto restart = [this] { m_settle.start(); };
    connect(screen, &QScreen::geometryChanged, this, restart);
    connect(screen, &QScreen::availableGeometryChanged, this, restart);
    // A new scale factor shows up as a change of logical DPI.
    connect(screen, &QScreen::logicalDotsPerInchChanged, this, restart);
    connect(screen, &QScreen::physicalDotsPerInchChanged, this, restart);
}

QList<DisplayInfo> QtScreens::displays() const
{
    QList<DisplayInfo> result;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (auto info = describe(*screen))
            result.append(*info);
    }
    return result;
}

std::optional<DisplayInfo> QtScreens::describe(const QScreen& screen)
{
    return DisplayInfo::describe(screen.name(), screen.manufacturer(), screen.model(), screen.serialNumber(),
                                 screen.geometry(), screen.availableGeometry(), screen.devicePixelRatio());
}

} // namespace lumi
