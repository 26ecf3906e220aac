#pragma once

#include "model/AppLog.h"
#include "model/CancelToken.h"
#include "model/Medium.h"
#include "state/DailyNotifications.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <chrono>

namespace lumi {

class APIClient;
class Account;
class Clock;
class Defaults;
class Notifier;
class SaverPlayer;

/// "Today's photos": one notification a day, at the first check that crosses 10:00 local time,
/// naming the first of today's photos with its thumbnail. A click asks for the main window on
/// today's photos. Only for a signed-in user whose notifications are "all", never while the saver
/// plays, at most once a day ("notified-day"), and not on a day the app started after 10:00. It
/// sleeps until the next 10:00, waking once a day.
class DailyNotifier final : public QObject, public DailyNotifications
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DailyNotifier)

public:
    struct Services
    {
        const Account& account;
        APIClient& api;
        Clock& clock;
        Defaults& defaults;
        const SaverPlayer& player;
        Notifier& notifier;
    };

    explicit DailyNotifier(Services services);
    ~DailyNotifier() override;

    void start() override;
    void stop() override;
    void requestAuthorization() override;
    QCoro::Task<bool> canNotify() override;

    /// "2026-12-9": year, month and day without leading zeros.
    static QString dayKey(const QDate& day);

signals:
    /// The user clicked today's notification.
    void todayRequested();
    /// A post ended (shown or not); for tests and logs.
    void attemptFinished();

private:
    QCoro::Task<void> askAuthorization();
    QCoro::Task<void> watch();
    /// Until the next 10:00 local time: today's while it is ahead, else tomorrow's.
    std::chrono::milliseconds untilNextCheck() const;
    void check();
    QCoro::Task<void> postToday();
    QCoro::Task<QString> savedThumbnail(Medium photo);
    void removeImages();

    Services m_services;
    AppLog m_log;
    QDateTime m_lastCheck;
    bool m_running = false;
    CancelToken m_stop;
    uint m_shownId = 0;
    // Pictures of the notification on screen; gone when it closes or the next one comes.
    QStringList m_images;
};

} // namespace lumi
