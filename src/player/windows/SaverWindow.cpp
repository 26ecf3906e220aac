#include "player/windows/SaverWindow.h"

#include "player/PlayerModel.h"
#include "player/PlayerStage.h"
#include "player/windows/StageWidget.h"

#include <QScreen>
#include <QVBoxLayout>

namespace lumi {

SaverWindow::SaverWindow(std::unique_ptr<PlayerModel> model, Clock& clock, QScreen* screen)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      m_model(std::move(model)), m_stage(new PlayerStage(*m_model, this)),
      m_view(new StageWidget(*m_stage, clock, this))
{
    setAttribute(Qt::WA_NoSystemBackground);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    setScreen(screen);
    setGeometry(screen->geometry());
}

SaverWindow::~SaverWindow()
{
    // The view reads the stage and the stage the model, so they go first.
    delete m_view;
    delete m_stage;
}

} // namespace lumi
