#include "app/Application.h"

#include "model/AppLog.h"
#include "platform/linux/SystemClock.h"
#include "wallpaper/BundledFonts.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QIcon trayIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x2b, 0x6c, 0xb0));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 56, 56), 14, 14);
    painter.setPen(Qt::white);
    painter.setFont(BundledFonts::font(40, QFont::DemiBold));
    painter.drawText(QRectF(0, 0, 64, 64), Qt::AlignCenter, u"L"_s);
    return QIcon(pixmap);
}

} // namespace

Application::Application(QStringList arguments) : m_arguments(std::move(arguments)) {}

Application::~Application() = default;

int Application::run()
{
    QCoreApplication::setApplicationName(u"Lumivale"_s);
    QCoreApplication::setOrganizationDomain(u"lumivale.com"_s);
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMIVALE_VERSION));
    QGuiApplication::setQuitOnLastWindowClosed(false);
    BundledFonts::ensureRegistered();

    const AppLog log(u"app"_s);
    log.info(u"Lumivale Desktop "_s + QCoreApplication::applicationVersion() + u" starting"_s);

    m_clock = std::make_unique<SystemClock>();
    m_trayMenu = std::make_unique<QMenu>();
    m_trayMenu->addAction(QObject::tr("Quit Lumivale"), qApp, &QCoreApplication::quit);
    m_tray = std::make_unique<QSystemTrayIcon>(trayIcon());
    m_tray->setToolTip(u"Lumivale"_s);
    m_tray->setContextMenu(m_trayMenu.get());
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
    else
        log.info(u"no system tray found; the app runs without a tray icon"_s);

    const int status = QApplication::exec();
    log.info(u"quitting"_s);
    return status;
}

} // namespace lumi
