#include "player/windows/GalleryWindow.h"

#include "player/PlayerModel.h"
#include "player/PlayerTask.h"
#include "player/windows/GalleryView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

namespace lumi {

GalleryWindow::GalleryWindow(std::unique_ptr<PlayerModel> model, Clock& clock, std::function<void()> end)
    : QWidget(nullptr, Qt::Window), m_model(std::move(model)), m_end(std::move(end)),
      m_view(new GalleryView(
          *m_model, clock, [this] { this->end(); }, this))
{
    // The view's stage paints the whole window, black where no photo is.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

GalleryWindow::~GalleryWindow()
{
    // The view reads the model until it goes.
    delete m_view;
}

void GalleryWindow::open(QScreen* screen)
{
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    // Every key of this window, whichever child has the focus, passes here first.
    windowHandle()->installEventFilter(this);
    activateWindow();
}

void GalleryWindow::retire()
{
    m_end = nullptr;
    if (isFullScreen())
        showNormal();
}

void GalleryWindow::end()
{
    // Copied: the call may retire this window, which clears m_end.
    if (const std::function<void()> end = m_end)
        end();
}

bool GalleryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::KeyPress && m_end)
        return handleKey(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}

bool GalleryWindow::handleKey(int key)
{
    switch (key) {
    case Qt::Key_Space:
        m_model->setPaused(!m_model->isPaused());
        return true;
    case Qt::Key_Escape:
        end();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        PlayerTask::start(m_model->step(key == Qt::Key_Right));
        return true;
    default:
        return false;
    }
}

void GalleryWindow::closeEvent(QCloseEvent* event)
{
    // Hidden by the caller, not closed here, so it can leave full screen first.
    event->ignore();
    end();
}

void GalleryWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowFullScreen) && !isFullScreen())
        end();
}

} // namespace lumi
