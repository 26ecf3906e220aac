#pragma once

#include "settings/SettingsServices.h"

#include <QCoroTask>
#include <QPointer>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace lumi {

class BusyIndicator;

/// What support staff walk a user through: moving the photo directory (with a relaunch), clearing
/// the wallpaper cache, a manual update check and the version. The work it starts goes on when the
/// pane is gone; only its outcome lines are the pane's.
class DirectSupportSettings final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DirectSupportSettings)

public:
    /// After a clearing, the wait before the shown wallpapers are drawn again.
    static constexpr std::chrono::seconds redrawDelay{3};

    explicit DirectSupportSettings(SettingsServices services, QWidget* parent = nullptr);
    ~DirectSupportSettings() override;

private:
    void refresh();
    void confirmClearing();
    /// Dialog B: the old folders to the trash or kept; either way the app starts again.
    void askAboutOldFolders(const QString& oldFolder);
    static QCoro::Task<void> moveDirectory(QPointer<DirectSupportSettings> pane, SettingsServices services);
    static QCoro::Task<void> clearCache(QPointer<DirectSupportSettings> pane, SettingsServices services);
    static QCoro::Task<void> checkForUpdates(QPointer<DirectSupportSettings> pane, SettingsServices services);

    SettingsServices m_services;
    bool m_moving = false;
    std::optional<QString> m_moveError;
    bool m_clearing = false;
    std::optional<QString> m_clearMessage;

    QPushButton* m_moveButton = nullptr;
    BusyIndicator* m_moveBusy = nullptr;
    QLabel* m_copying = nullptr;
    QLabel* m_path = nullptr;
    QLabel* m_error = nullptr;
    QPushButton* m_clearButton = nullptr;
    BusyIndicator* m_clearBusy = nullptr;
    QLabel* m_clearLine = nullptr;
    QLabel* m_updateLine = nullptr;
};

} // namespace lumi
