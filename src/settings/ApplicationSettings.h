#pragma once

#include <QCoroTask>
#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumi {

class AppModel;
class BusyIndicator;
class SettingChanges;
class SettingsSync;
class ShortcutRegistry;

/// Who is signed in, the login item, the notification and shortcut settings of the account, a
/// new password, signing out and deleting the account. Typed passwords and outcome lines live as
/// long as the pane. On a desktop that shows no notifications the notification toggle is off and
/// says why.
class ApplicationSettings final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ApplicationSettings)

public:
    ApplicationSettings(AppModel& model, SettingsSync& settings, const ShortcutRegistry& shortcuts,
                        QWidget* parent = nullptr);
    ~ApplicationSettings() override;

    static constexpr int minimumPasswordLength = 6;

    /// None when the two entries may be sent, else why not: a mismatch first, then the length.
    static std::optional<QString> passwordProblem(const QString& password, const QString& again);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildAccount();
    QWidget* buildSignedIn();
    QWidget* buildPassword(QWidget* parent);
    /// What the shortcuts do here: from any app, or why not.
    QString shortcutsLine() const;
    /// Writes the record and the pane's own state into the widgets.
    void refresh();
    void showLaunchAtLogin();
    /// Asks whether the desktop shows notifications, and shows the answer.
    QCoro::Task<void> checkNotifications();
    void changePassword();
    QCoro::Task<void> sendPassword(QString password);
    void confirmDeletion();
    QCoro::Task<void> deleteAccount();

    AppModel& m_model;
    SettingsSync& m_settings;
    const ShortcutRegistry& m_shortcutRegistry;
    std::unique_ptr<SettingChanges> m_changes;
    bool m_openAtLogin = false;
    std::optional<QString> m_passwordMessage;
    bool m_changing = false;
    bool m_deleting = false;
    std::optional<QString> m_deleteResult;
    // None until the desktop answered.
    std::optional<bool> m_notificationsShown;

    QWidget* m_account = nullptr;
    QLabel* m_name = nullptr;
    QLabel* m_email = nullptr;
    QCheckBox* m_launchAtLogin = nullptr;
    QWidget* m_signedIn = nullptr;
    QCheckBox* m_notifications = nullptr;
    QLabel* m_notificationsUnavailable = nullptr;
    QCheckBox* m_shortcuts = nullptr;
    QLabel* m_shortcutsLine = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_again = nullptr;
    QPushButton* m_changeButton = nullptr;
    BusyIndicator* m_changeBusy = nullptr;
    QLabel* m_passwordLine = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QLabel* m_deleteLine = nullptr;
};

} // namespace lumi
