#include "sheets/PhotoStoryWindowController.h"

#include "sheets/PhotoStoryView.h"
#include "widgets/Palette.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lumi {

PhotoStoryWindowController::PhotoStoryWindowController(APIClient& api, Guidance& guidance,
                                                       WindowPresenter& mainWindow)
    : m_api(api), m_guidance(guidance), m_mainWindow(mainWindow)
{
}

PhotoStoryWindowController::~PhotoStoryWindowController()
{
    delete m_window.data();
}

PhotoStoryView* PhotoStoryWindowController::view() const
{
    return m_window ? m_window->findChild<PhotoStoryView*>() : nullptr;
}

void PhotoStoryWindowController::showStory(const Medium& photo)
{
    // The old view goes at once, and with it any answer it still waits for.
    if (m_window)
        delete view();
    else
        m_window = makeWindow();
    m_window->layout()->addWidget(new PhotoStoryView(m_api, m_guidance, m_mainWindow, photo, m_window));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

QWidget* PhotoStoryWindowController::makeWindow()
{
    // Titled and closable only: it can be neither resized nor minimized.
    auto* window = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                            Qt::WindowCloseButtonHint);
    window->setObjectName(u"photoStory"_s);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(tr("Photo Story"));
    window->setPalette(Palette::widgets());
    window->setFixedSize(PhotoStoryView::fixedSize);
    // Closed from the keyboard as a dialog is, and as the other windows are.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, window, &QWidget::close);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), PhotoStoryView::fixedSize);
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    return window;
}

} // namespace lumi
