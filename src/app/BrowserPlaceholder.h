#pragma once

#include <QWidget>

class QLabel;
class QListWidget;

namespace lumi {

class AppModel;
class WindowPresenter;

/// Holds the catalog browser's place in the main window until the browser exists: the signed-in
/// account, its playlists and what they feed, the server's banner, the tour's anchors, and the
/// ways to settings and to sign out.
class BrowserPlaceholder final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserPlaceholder)

public:
    BrowserPlaceholder(AppModel& model, WindowPresenter& window, QWidget* parent = nullptr);

private:
    void sync();

    AppModel& m_model;
    QLabel* m_greeting = nullptr;
    QListWidget* m_playlists = nullptr;
};

} // namespace lumi
