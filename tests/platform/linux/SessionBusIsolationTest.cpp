#include "support/PrivateSessionBus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

/// Names the bus would start a program for; the bus itself is always listed.
QStringList activatableNames(const QDBusConnection& bus)
{
    const QDBusReply<QStringList> reply = bus.interface()->activatableServiceNames();
    QStringList names = reply.isValid() ? reply.value() : QStringList{u"(no answer)"_s};
    names.removeAll(u"org.freedesktop.DBus"_s);
    return names;
}

} // namespace

/// The buses tests run on must activate nothing installed on the machine, or a desktop service
/// (xfconfd, a notification daemon) answers in place of the test's fake and the suite passes on a
/// bare machine but fails on a desktop.
class SessionBusIsolationTest final : public QObject
{
    Q_OBJECT

private slots:
    void privateBusActivatesNothing();
    void suiteBusActivatesNothing();
};

void SessionBusIsolationTest::privateBusActivatesNothing()
{
    lumi::test::PrivateSessionBus bus;
    QVERIFY2(!bus.address().isEmpty(), qPrintable(bus.error()));
    const QDBusConnection connection = bus.connect(u"isolation"_s);
    QVERIFY(connection.isConnected());
    QCOMPARE(activatableNames(connection), QStringList{});
}

void SessionBusIsolationTest::suiteBusActivatesNothing()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        QSKIP("not run on a session bus (scripts/test provides one)");
    QCOMPARE(activatableNames(QDBusConnection::sessionBus()), QStringList{});
}

QTEST_GUILESS_MAIN(SessionBusIsolationTest)
#include "SessionBusIsolationTest.moc"
