#pragma once

#include "settings/SettingsServices.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <optional>

class QWidget;

namespace lumi {

class AppModel;
class Guidance;
class OlderAppMigration;

/// The sheets and the alert of the main window, each raised by a flag of the model or the guidance,
/// shown one at a time in a fixed order while the window is on screen. Dismissing a sheet writes
/// its flag back; a flag cleared elsewhere closes its sheet without further ado.
class MainWindowSheets final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindowSheets)

public:
    /// In the order they are offered when several are wanted at once.
    enum class Sheet { settings, loginItem, survey, electronNotice, onboarding, alert };
    Q_ENUM(Sheet)

    MainWindowSheets(QWidget& window, AppModel& model, Guidance& guidance, OlderAppMigration& olderApp,
                     SettingsServices settings);
    ~MainWindowSheets() override;

    /// The sheet on screen now, if any.
    std::optional<Sheet> shown() const;
    QDialog* dialog() const { return m_dialog; }

    /// Shows the first wanted sheet when none is up; called on every flag change and showing.
    void present();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isWanted(Sheet sheet) const;
    QDialog* make(Sheet sheet);
    void dismissed(Sheet sheet);

    QWidget& m_window;
    AppModel& m_model;
    Guidance& m_guidance;
    OlderAppMigration& m_olderApp;
    SettingsServices m_settings;
    QPointer<QDialog> m_dialog;
    Sheet m_sheet = Sheet::settings;
};

} // namespace lumi
