#pragma once

#include <QWidget>

#include <memory>

namespace lumi {

class Clock;
class PlayerModel;
class PlayerStage;
class StageWidget;

/// One screen's saver: a borderless black window above everything, outside the window manager's
/// reach, exactly over its screen, playing its own model.
class SaverWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SaverWindow)

public:
    /// The clock outlives the window.
    SaverWindow(std::unique_ptr<PlayerModel> model, Clock& clock, QScreen* screen);
    ~SaverWindow() override;

    PlayerModel& model() const { return *m_model; }

private:
    std::unique_ptr<PlayerModel> m_model;
    PlayerStage* m_stage;
    StageWidget* m_view;
};

} // namespace lumi
