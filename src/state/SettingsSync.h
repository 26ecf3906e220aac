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
class EventSink;
class WallpaperRotation;

/// The account's settings as the settings panes change them, and the login item. Each setter
/// sends one key to the service and hands the server's answer to the model; nothing changes
/// locally before it. A "show_startup" chosen on another computer is adopted from the account as
/// it arrives. Main thread only.
class SettingsSync final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingsSync)

public:
    /// Made by the composition root (or a test), each alive for longer than the part.
    struct Services
    {
        /// Applies the server's answers and reports the failures.
        AppModel& model;
        const Account& account;
        Defaults& defaults;
        DailyNotifications& notifications;
        Autostart& autostart;
        EventSink& events;
        /// Composes the wallpaper anew after a change of what it shows.
        WallpaperRotation& rotation;
    };

    explicit SettingsSync(Services services, QObject* parent = nullptr);
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
    bool isLaunchAtLoginEnabled() const;

private:
    /// Sends one setting of the user and applies the server's answer; a failure goes to the error
    /// sink. Then reports the change ("settings-changed" with the section) and, with redraw,
    /// composes the wallpaper anew.
    QCoro::Task<void> send(QString key, QJsonValue value, QString section, bool redraw);
    /// Adopts the signed-in user's "show_startup" value once per change.
    void adoptShowStartup();
    /// Adds or removes the login entry; a failure is logged, the caller goes on.
    void setLoginItem(bool enabled);

    AppModel& m_model;
    const Account& m_account;
    Defaults& m_defaults;
    DailyNotifications& m_notifications;
    Autostart& m_autostart;
    EventSink& m_events;
    WallpaperRotation& m_rotation;
};

} // namespace lumi
