#pragma once

#include "browser/BrowserServices.h"
#include "settings/SettingsServices.h"
#include "state/WindowPresenter.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace lumi {

class AppModel;
class Defaults;
class LinkOpener;
class MainWindow;
class OlderAppMigration;
class SystemTray;

/// Makes the main window on first demand, keeps it for the rest of the run, and brings it forward
/// whenever any part of the app asks. Its place and size are remembered across runs.
class MainWindowController final : public QObject, public WindowPresenter
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindowController)

public:
    static constexpr QSize contentSize{1280, 800};
    static constexpr QSize minimumSize{900, 560};

    /// A window's geometry (without its frame) moved and, when it must, shrunk so that it and the
    /// title bar above it lie within a screen's available area.
    static QRect fitted(QRect geometry, const QRect& available);

    MainWindowController(AppModel& model, Defaults& defaults, OlderAppMigration& olderApp, LinkOpener& links,
                         const SystemTray& tray, BrowserServices browser, SettingsServices settings);
    ~MainWindowController() override;

    void showMainWindow() override;
    bool isMainWindowVisible() const override;

    /// None until the first showing.
    MainWindow* window() const { return m_window.get(); }
    /// Without a tray, the word that the app keeps running after its window closed; none before.
    QWidget* keepsRunningNotice() const { return m_keepsRunningNotice; }

signals:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void saveGeometry();
    void tellKeepsRunning();

    AppModel& m_model;
    Defaults& m_defaults;
    OlderAppMigration& m_olderApp;
    LinkOpener& m_links;
    SettingsServices m_settings;
    const SystemTray& m_tray;
    BrowserServices m_browser;
    std::unique_ptr<MainWindow> m_window;
    QPointer<QWidget> m_keepsRunningNotice;
    bool m_toldKeepsRunning = false;
    /// Moving or resizing sends a stream of events; the place is written once it settles.
    QTimer m_saveGeometry;
};

} // namespace lumi
