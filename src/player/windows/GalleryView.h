#pragma once

#include "model/CancelToken.h"

#include <QCoroTask>
#include <QEasingCurve>
#include <QTimer>
#include <QWidget>

#include <chrono>

#include <functional>
#include <optional>

class QGraphicsOpacityEffect;

namespace lumi {

class Clock;
class GalleryBarButton;
class PlayerModel;
class PlayerStage;
class StageWidget;

/// The gallery window's content: the player stage over the whole window and, at the bottom
/// centre, a capsule bar with previous, play/pause, next, the mode menu and close. The bar shows
/// at open and whenever the pointer moves or leaves, and hides 3 s after the last of those; it
/// fades in over 0.2 s easing out and out over 0.4 s easing in, on the clock.
class GalleryView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GalleryView)

public:
    /// `done` runs when Close is pressed. The model and clock outlive the view.
    GalleryView(PlayerModel& model, Clock& clock, std::function<void()> done, QWidget* parent = nullptr);
    ~GalleryView() override;

    /// Shown or fading in; false from the moment it starts to fade out.
    bool controlsVisible() const { return m_fadeTo > 0; }
    /// The bar's opacity now, 0 once it is hidden.
    qreal controlsOpacity() const;
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
    void fadeTo(qreal opacity, std::chrono::milliseconds duration, const QEasingCurve& curve);
    void fadeFrame();

    PlayerModel& m_model;
    Clock& m_clock;
    std::function<void()> m_done;
    // Set while the bar is made, so declared before it.
    GalleryBarButton* m_playPause = nullptr;
    GalleryBarButton* m_modeMenu = nullptr;
    PlayerStage* m_stage;
    StageWidget* m_stageWidget;
    QWidget* m_bar;
    std::optional<CancelToken> m_hide;
    QGraphicsOpacityEffect* m_barOpacity;
    QTimer m_fadeFrames;
    QEasingCurve m_fadeCurve;
    qreal m_fadeFrom = 0;
    qreal m_fadeTo = 0;
    std::chrono::milliseconds m_fadeStart{0};
    std::chrono::milliseconds m_fadeDuration{0};
};

} // namespace lumi
