#include "app/MainWindowController.h"

#include "app/MainWindow.h"
#include "model/AppLog.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "platform/SystemTray.h"
#include "state/AppModel.h"
#include "widgets/Palette.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

// What the window manager adds around the content before it shows: a title bar and borders.
constexpr int titleBarAllowance = 40;
constexpr int borderAllowance = 8;

QRect roomIn(const QRect& available)
{
    return available.adjusted(borderAllowance, titleBarAllowance, -borderAllowance, -borderAllowance);
}

const QScreen* screenShowing(const QRect& geometry)
{
    if (const QScreen* screen = QGuiApplication::screenAt(geometry.center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

} // namespace

QRect MainWindowController::fitted(QRect geometry, const QRect& available)
{
    const QRect room = roomIn(available);
    geometry.setSize(geometry.size().boundedTo(room.size()));
    if (geometry.right() > room.right())
        geometry.moveRight(room.right());
    if (geometry.bottom() > room.bottom())
        geometry.moveBottom(room.bottom());
    if (geometry.left() < room.left())
        geometry.moveLeft(room.left());
    if (geometry.top() < room.top())
        geometry.moveTop(room.top());
    return geometry;
}

MainWindowController::MainWindowController(AppModel& model, Defaults& defaults, OlderAppMigration& olderApp,
                                           LinkOpener& links, const SystemTray& tray, BrowserServices browser,
                                           SettingsServices settings)
    : m_model(model), m_defaults(defaults), m_olderApp(olderApp), m_links(links), m_settings(settings),
      m_tray(tray), m_browser(browser)
{
    // A failure of something the user asked for (Next Wallpaper in the tray) is shown at once,
    // not when the window is next opened.
    connect(&m_model, &AppModel::alertChanged, this, [this] {
        if (m_model.alert() && !isMainWindowVisible())
            showMainWindow();
    });
    m_saveGeometry.setSingleShot(true);
    m_saveGeometry.setInterval(500ms);
    connect(&m_saveGeometry, &QTimer::timeout, this, &MainWindowController::saveGeometry);
}

MainWindowController::~MainWindowController()
{
    if (m_window)
        m_window->removeEventFilter(this);
    delete m_keepsRunningNotice;
}

void MainWindowController::build()
{
    m_window = std::make_unique<MainWindow>(m_model, *this, m_olderApp, m_links, m_browser, m_settings);
    connect(m_window.get(), &MainWindow::quitRequested, this, &MainWindowController::quitRequested);
    // A small screen (1366 by 768, or a large one at scale 2) gets a smaller window it can hold
    // whole, title bar included; the remembered place is put back onto a screen that exists.
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect available = primary ? primary->availableGeometry() : QRect(QPoint(), contentSize);
    m_window->setMinimumSize(minimumSize.boundedTo(roomIn(available).size()));
    QRect placed(QPoint(), contentSize);
    placed.moveCenter(available.center());
    placed = fitted(placed, available);
    const std::optional<QByteArray> saved = m_defaults.bytesValue(keys::mainWindowGeometry);
    if (saved && m_window->restoreGeometry(*saved)) {
        const QScreen* screen = screenShowing(m_window->geometry());
        placed = fitted(m_window->geometry(), screen ? screen->availableGeometry() : available);
    }
    // A maximized or full-screen window takes its screen's size anyway.
    if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        m_window->setGeometry(placed);
    m_window->installEventFilter(this);
}

void MainWindowController::showMainWindow()
{
    if (!m_window)
        build();
    if (m_window->isMinimized())
        m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_model.noteWindowShown();
}

bool MainWindowController::isMainWindowVisible() const
{
    return m_window && m_window->isVisible() && !m_window->isMinimized();
}

bool MainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.get()) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            if (m_window->isVisible())
                m_saveGeometry.start();
            break;
        case QEvent::Hide:
            saveGeometry();
            break;
        case QEvent::Close:
            if (!m_tray.isAvailable() && !m_toldKeepsRunning)
                QTimer::singleShot(0, this, &MainWindowController::tellKeepsRunning);
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MainWindowController::tellKeepsRunning()
{
    if (m_toldKeepsRunning || (m_window && m_window->isVisible()))
        return;
    m_toldKeepsRunning = true;
    AppLog(u"app"_s).info(u"main window closed without a tray: telling that the app keeps running"_s);
    auto* notice = new QMessageBox(QMessageBox::Information, u"Lumivale"_s, tr("Lumivale keeps running"));
    notice->setObjectName(u"keepsRunning"_s);
    notice->setInformativeText(
        tr("It goes on changing your wallpaper in the background. To open this window again, start "
           "Lumivale again from your applications."));
    notice->setPalette(Palette::widgets());
    notice->setAttribute(Qt::WA_DeleteOnClose);
    m_keepsRunningNotice = notice;
    notice->show();
}

void MainWindowController::saveGeometry()
{
    m_saveGeometry.stop();
    if (m_window)
        m_defaults.setValue(keys::mainWindowGeometry, m_window->saveGeometry());
}

} // namespace lumi
