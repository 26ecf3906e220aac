#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>

namespace lumi {

/// org.freedesktop.Notifications on the session bus, called asynchronously only.
class FreedesktopNotifier final : public Notifier
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FreedesktopNotifier)

public:
    explicit FreedesktopNotifier(QDBusConnection bus, QObject* parent = nullptr);

    QCoro::Task<int> authorizationStatus() override;
    QCoro::Task<Posted> post(QString title, QString body, QString imagePath) override;

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onNotificationClosed(uint id, uint reason);

private:
    /// The server's capabilities; none when it is missing or slow.
    QCoro::Task<std::optional<QStringList>> capabilities();

    QDBusConnection m_bus;
};

} // namespace lumi
