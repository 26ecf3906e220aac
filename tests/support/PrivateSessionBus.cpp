#include "support/PrivateSessionBus.h"

using namespace Qt::StringLiterals;

namespace lumi::test {

PrivateSessionBus::PrivateSessionBus()
{
    const QString config = u"--config-file="_s + QString::fromUtf8(LUMIVALE_ISOLATED_BUS_CONFIG);
    m_daemon.start(u"dbus-daemon"_s, {config, u"--nofork"_s, u"--print-address=1"_s});
    QByteArray address;
    while (!address.contains('\n') && m_daemon.waitForReadyRead(20000))
        address += m_daemon.readAllStandardOutput();
    if (!address.contains('\n')) {
        m_error = u"dbus-daemon did not start: "_s + m_daemon.errorString() + u' ' +
                  QString::fromLocal8Bit(m_daemon.readAllStandardError());
        return;
    }
    m_address = QString::fromUtf8(address.trimmed());
}

PrivateSessionBus::~PrivateSessionBus()
{
    for (const QString& name : std::as_const(m_connections))
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    if (!m_daemon.waitForFinished(5000))
        m_daemon.kill();
    m_daemon.waitForFinished(5000);
}

QDBusConnection PrivateSessionBus::connect(const QString& connectionName)
{
    m_connections.append(connectionName);
    return QDBusConnection::connectToBus(m_address, connectionName);
}

} // namespace lumi::test
