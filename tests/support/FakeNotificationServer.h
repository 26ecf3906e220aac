#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace lumi::test {

/// The desktop's notification service (org.freedesktop.Notifications) as far as the app uses it,
/// for a test to register on its private bus: it keeps what it was asked to show.
class FakeNotificationServer final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString app;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };
    QStringList capabilities{QStringLiteral("body"), QStringLiteral("actions")};
    QList<Shown> shown;

public slots:
    QStringList GetCapabilities() { return capabilities; }
    uint Notify(const QString& app, uint, const QString&, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int)
    {
        shown.append({app, summary, body, actions, hints});
        return uint(shown.size());
    }

signals:
    void ActionInvoked(uint id, const QString& action);
    void NotificationClosed(uint id, uint reason);
};

} // namespace lumi::test
