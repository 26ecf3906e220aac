#pragma once

#include "settings/SettingsServices.h"
#include "state/SettingsSection.h"

#include <QDialog>

#include <optional>

class QScrollArea;

namespace lumi {

class AppModel;
class SidebarRow;

/// The settings sheet over the main window: a sidebar of the five sections and the pane of the
/// chosen one. It holds no setting itself; each pane reads the user from the account and writes
/// through the settings part. It opens on the section it was asked for, else Application.
class SettingsView final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsView)

public:
    static constexpr QSize sheetSize{760, 580};

    /// The model is the application pane's, for signing out and the account's password and deletion.
    SettingsView(AppModel& model, SettingsServices services, std::optional<SettingsSection> opening,
                 QWidget* parent = nullptr);
    ~SettingsView() override;

    static QString title(SettingsSection section);
    /// The section shown; none before the sheet first came on screen.
    std::optional<SettingsSection> section() const { return m_section; }
    /// Shows the section's pane, built afresh.
    void choose(SettingsSection section);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildHeader();
    QWidget* buildFooter();
    QWidget* makePane(SettingsSection section);

    AppModel& m_model;
    SettingsServices m_services;
    std::optional<SettingsSection> m_opening;
    std::optional<SettingsSection> m_section;
    QList<std::pair<SettingsSection, SidebarRow*>> m_rows;
    QScrollArea* m_paneArea = nullptr;
};

} // namespace lumi
