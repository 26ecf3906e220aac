#include "app/MainWindowController.h"

#include "app/MainWindow.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "state/AppModel.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

MainWindowController::MainWindowController(AppModel& model, Defaults& defaults, OlderAppMigration& olderApp,
                                           LinkOpener& links)
    : m_model(model), m_defaults(defaults), m_olderApp(olderApp), m_links(links)
{
    m_saveGeometry.setSingleShot(true);
    m_saveGeometry.setInterval(500ms);
    connect(&m_saveGeometry, &QTimer::timeout, this, &MainWindowController::saveGeometry);
}

MainWindowController::~MainWindowController()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void MainWindowController::build()
{
    m_window = std::make_unique<MainWindow>(m_model, *this, m_olderApp, m_links);
    connect(m_window.get(), &MainWindow::quitRequested, this, &MainWindowController::quitRequested);
    m_window->setMinimumSize(minimumSize);
    m_window->resize(contentSize);
    const std::optional<QByteArray> saved = m_defaults.bytesValue(keys::mainWindowGeometry);
    if (!saved || !m_window->restoreGeometry(*saved)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(), contentSize);
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
    }
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
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MainWindowController::saveGeometry()
{
    m_saveGeometry.stop();
    if (m_window)
        m_defaults.setValue(keys::mainWindowGeometry, m_window->saveGeometry());
}

} // namespace lumi
