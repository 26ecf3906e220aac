#pragma once

#include "browser/BrowserServices.h"
#include "settings/SettingsServices.h"
#include "state/AppModel.h"

#include <QPointer>
#include <QWidget>

namespace lumi {

class LinkOpener;
class MainWindowSheets;
class OlderAppMigration;
class WindowPresenter;

/// The one main window: a progress indicator while the session is being decided, the sign-in
/// view while signed out and the browser while signed in, with the model's sheets and alert on
/// top. Always light, whatever the desktop's colour scheme; closing it only hides it.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    MainWindow(AppModel& model, WindowPresenter& presenter, OlderAppMigration& olderApp, LinkOpener& links,
               BrowserServices browser, SettingsServices settings);
    ~MainWindow() override;

    /// What fills the window now: the progress indicator, an AuthView or the browser.
    QWidget* content() const { return m_content; }
    MainWindowSheets& sheets() const { return *m_sheets; }

signals:
    void quitRequested();

private:
    void showPhase();

    AppModel& m_model;
    WindowPresenter& m_presenter;
    LinkOpener& m_links;
    BrowserServices m_browser;
    MainWindowSheets* m_sheets = nullptr;
    QPointer<QWidget> m_content;
    std::optional<AppModel::Phase> m_contentPhase;
};

} // namespace lumi
