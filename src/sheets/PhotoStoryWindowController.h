#pragma once

#include "sheets/PhotoStoryPresenter.h"

#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace lumi {

class APIClient;
class Guidance;
class PhotoStoryView;
class WindowPresenter;

/// Owns the one story window. Showing a story while it is open replaces its content in place
/// (title, place and size stay); after the user closed it, the next story opens a new window,
/// centred. The window stays light whatever the desktop's theme. Escape and Ctrl+W close it.
class PhotoStoryWindowController final : public PhotoStoryPresenter
{
    Q_DECLARE_TR_FUNCTIONS(PhotoStoryWindowController)

public:
    PhotoStoryWindowController(APIClient& api, Guidance& guidance, WindowPresenter& mainWindow);
    ~PhotoStoryWindowController() override;
    PhotoStoryWindowController(const PhotoStoryWindowController&) = delete;
    PhotoStoryWindowController& operator=(const PhotoStoryWindowController&) = delete;

    void showStory(const Medium& photo) override;

    /// None while no story window is open.
    QWidget* window() const { return m_window; }
    PhotoStoryView* view() const;

private:
    QWidget* makeWindow();

    APIClient& m_api;
    Guidance& m_guidance;
    WindowPresenter& m_mainWindow;
    QPointer<QWidget> m_window;
};

} // namespace lumi
