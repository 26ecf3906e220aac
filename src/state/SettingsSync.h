#pragma once

#include "model/RotationInterval.h"
#include "model/WallpaperFit.h"

#include <QCoroTask>
#include <QJsonValue>
#include <QObject>
#include <QString>

#include <optional>

namespace lumi {

class Account;
class AppModel;
class Autostart;
class DailyNotifications;
class Defaults;

/// The account's settings as the settings panes change them, and the login item. Each setter
/// sends one key through the model, which applies the server's answer; nothing changes locally
/// before it. Main thread only.
class SettingsSync final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsSync)

public:
    /// Everything outlives the part. The model sends the changes and reports their failures.
    SettingsSync(AppModel& model, const Account& account, Defaults& defaults,
                 DailyNotifications& notifications, Autostart& autostart, QObject* parent = nullptr);
    ~SettingsSync() override;

    QCoro::Task<void> setRotateDesktop(RotationInterval interval);
    QCoro::Task<void> setPaperRandom(bool shuffle);
    QCoro::Task<void> setFitDesktop(WallpaperFit fit);
    QCoro::Task<void> setLumivaleTitleSize(bool showTitle);
    QCoro::Task<void> setNotifications(bool enabled);
    /// Whether this desktop shows notifications at all; asked without blocking.
    QCoro::Task<bool> canShowNotifications();
    QCoro::Task<void> setShortcutsEnabled(bool enabled);
    QCoro::Task<void> setMultiDisplayNextPaper(bool samePhoto);
    QCoro::Task<void> setSaverSetting(QString key, QJsonValue value);
    QCoro::Task<void> setCalendarSetting(QString key, QString value);

    /// The answer to the login-item prompt.
    void answerLoginItem(bool enable);
    QCoro::Task<void> setLaunchAtLogin(bool enabled);
    /// Adopts a "show_startup" value from the server once per change.
    void applyShowStartup(std::optional<QString> value);
    bool isLaunchAtLoginEnabled() const;

private:
    /// Adds or removes the login entry; a failure is logged, the caller goes on.
    void setLoginItem(bool enabled);

    AppModel& m_model;
    const Account& m_account;
    Defaults& m_defaults;
    DailyNotifications& m_notifications;
    Autostart& m_autostart;
};

} // namespace lumi
