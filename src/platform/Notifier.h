#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>

namespace lumi {

/// Desktop notifications: one shown at once, with an optional picture, and the user's click on it.
class Notifier : public QObject
{
    Q_OBJECT

public:
    /// What posting gave: the desktop's id for the notification, or why there is none.
    struct Posted
    {
        uint id = 0;
        QString error; ///< empty when the desktop took the notification
    };

    using QObject::QObject;
    ~Notifier() override = default;

    /// 2 when the desktop shows notifications, 1 when it has none (or does not answer in time).
    /// Asked without blocking.
    virtual QCoro::Task<int> authorizationStatus() = 0;
    /// Shows the notification; `body` is plain text (escaped here where the desktop reads markup),
    /// `imagePath` a local picture or empty. Never throws.
    virtual QCoro::Task<Posted> post(QString title, QString body, QString imagePath) = 0;

signals:
    /// The user clicked the notification.
    void clicked(uint id);
    /// The notification left the screen, whatever the reason.
    void closed(uint id);
};

} // namespace lumi
