#pragma once

#include "model/CancelToken.h"

#include <QCoroTask>
#include <QWidget>

#include <functional>
#include <optional>

class QToolButton;

namespace lumi {

class Clock;
class PlayerModel;
class PlayerStage;
class StageWidget;

/// The gallery window's content: the player stage over the whole window and, at the bottom
/// centre, a capsule bar with previous, play/pause, next, the mode menu and close. The bar shows
/// at open and whenever the pointer moves or leaves, and hides 3 s after the last of those.
class GalleryView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GalleryView)

public:
    /// `done` runs when Close is pressed. The model and clock outlive the view.
    GalleryView(PlayerModel& model, Clock& clock, std::function<void()> done, QWidget* parent = nullptr);
    ~GalleryView() override;

    bool controlsVisible() const;
    QWidget* controlBar() const { return m_bar; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* makeBar();
    void reveal();
    QCoro::Task<void> hideLater(CancelToken cancel);
    void showPaused();
    void showMode();
    void placeBar();

    PlayerModel& m_model;
    Clock& m_clock;
    std::function<void()> m_done;
    // Set while the bar is made, so declared before it.
    QToolButton* m_playPause = nullptr;
    QToolButton* m_modeMenu = nullptr;
    PlayerStage* m_stage;
    StageWidget* m_stageWidget;
    QWidget* m_bar;
    std::optional<CancelToken> m_hide;
};

} // namespace lumi
