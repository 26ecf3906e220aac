#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QStringList>

namespace lumi::test {

/// A D-Bus daemon of the test's own, so the fake desktop services a test registers never meet
/// another test's.
class PrivateSessionBus final
{
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    /// Empty when the daemon did not start (see error()).
    const QString& address() const { return m_address; }
    const QString& error() const { return m_error; }

    /// A new connection to this bus. Services and their callers use separate connections, so
    /// calls really travel through the daemon.
    QDBusConnection connect(const QString& connectionName);

private:
    QProcess m_daemon;
    QString m_address;
    QString m_error;
    QStringList m_connections;
};

} // namespace lumi::test
