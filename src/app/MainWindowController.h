#pragma once

#include "state/WindowPresenter.h"

#include <QObject>
#include <QSize>
#include <QTimer>

#include <memory>

namespace lumi {

class AppModel;
class Defaults;
class LinkOpener;
class MainWindow;
class OlderAppMigration;

/// Makes the main window on first demand, keeps it for the rest of the run, and brings it forward
/// whenever any part of the app asks. Its place and size are remembered across runs.
class MainWindowController final : public QObject, public WindowPresenter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindowController)

public:
    static constexpr QSize contentSize{1280, 800};
    static constexpr QSize minimumSize{900, 560};

    MainWindowController(AppModel& model, Defaults& defaults, OlderAppMigration& olderApp, LinkOpener& links);
    ~MainWindowController() override;

    void showMainWindow() override;
    bool isMainWindowVisible() const override;

    /// None until the first showing.
    MainWindow* window() const { return m_window.get(); }

signals:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void saveGeometry();

    AppModel& m_model;
    Defaults& m_defaults;
    OlderAppMigration& m_olderApp;
    LinkOpener& m_links;
    std::unique_ptr<MainWindow> m_window;
    /// Moving or resizing sends a stream of events; the place is written once it settles.
    QTimer m_saveGeometry;
};

} // namespace lumi
