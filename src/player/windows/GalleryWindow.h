#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace lumi {

class Clock;
class PlayerModel;

/// The gallery: a decorated window in full screen holding the gallery view of its model. Space
/// pauses and resumes, the arrows step, Esc ends; these keys act in this window only. Closing
/// the window or leaving full screen ends it too.
class GalleryWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GalleryWindow)

public:
    /// `end` runs on Esc, Close, closing the window and leaving full screen, until retire().
    GalleryWindow(std::unique_ptr<PlayerModel> model, Clock& clock, std::function<void()> end);
    ~GalleryWindow() override;

    PlayerModel& model() const { return *m_model; }
    /// Fills the screen, then takes the keys.
    void open(QScreen* screen);
    /// Leaves full screen without ending anything again; the caller hides the window later.
    void retire();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool handleKey(int key);
    void end();

    std::unique_ptr<PlayerModel> m_model;
    std::function<void()> m_end;
    QWidget* m_view;
};

} // namespace lumi
