#include "platform/linux/X11IdleSource.h"
#include "support/PrivateSessionBus.h"
#include "support/PrivateXServerMain.h"
#include "support/ScreenSaverSuspender.h"
#include "support/state/RunTask.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

struct Inhibitor
{
    QString what;
    QString mode;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Inhibitor& inhibitor)
{
    argument.beginStructure();
    argument << inhibitor.what << u"player"_s << u"playing a film"_s << inhibitor.mode << 1000u << 4242u;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Inhibitor& inhibitor)
{
    QString who, why;
    uint uid = 0, pid = 0;
    argument.beginStructure();
    argument >> inhibitor.what >> who >> why >> inhibitor.mode >> uid >> pid;
    argument.endStructure();
    return argument;
}

} // namespace

} // namespace lumi

Q_DECLARE_METATYPE(lumi::Inhibitor)

namespace lumi {

namespace {

// logind's session, as much of it as the lock question reads.
class FakeSession final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool LockedHint READ lockedHint)

public:
    bool lockedHint() const { return locked; }
    bool locked = false;
};

class FakeManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QList<lumi::Inhibitor> ListInhibitors() const { return inhibitors; }

public:
    QList<Inhibitor> inhibitors;
};

// GNOME's session manager: IsInhibited answers for any of the asked flags.
class FakeGnomeSession final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")

public slots:
    bool IsInhibited(uint asked) const { return (flags & asked) != 0; }

public:
    uint flags = 0;
};

// The power manager of KDE Plasma and XFCE.
class FakePowerManager final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.PowerManagement.Inhibit")

public slots:
    bool HasInhibit() const { return inhibited; }

public:
    bool inhibited = false;
};

class FakeScreenSaver final : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public slots:
    bool GetActive() const { return active; }

public:
    bool active = false;
};

template <typename T> T answer(QCoro::Task<T> task)
{
    std::optional<T> result;
    if (test::runTask(std::move(task), result))
        return T();
    return result.value_or(T());
}

void xdotool(const QStringList& arguments)
{
    QCOMPARE(QProcess::execute(u"xdotool"_s, arguments), 0);
}

} // namespace

/// The idle time of a private Xvfb, and the lock and inhibitor answers of fake logind and
/// screensaver services on a private bus (standing in for the system and the session bus).
class X11IdleSourceX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void idleTimeFollowsInput();
    void answers_data();
    void answers();
    void inhibitorsKeepTheScreenAwake_data();
    void inhibitorsKeepTheScreenAwake();
};

void X11IdleSourceX11Test::initTestCase()
{
    qDBusRegisterMetaType<Inhibitor>();
    qDBusRegisterMetaType<QList<Inhibitor>>();
}

void X11IdleSourceX11Test::idleTimeFollowsInput()
{
    const auto none = QDBusConnection::connectToBus(u"unix:path=/nonexistent/bus"_s, u"none"_s);
    X11IdleSource source(none, none);

    const QStringList inputs[] = {{u"mousemove_relative"_s, u"3"_s, u"3"_s}, {u"key"_s, u"shift"_s}};
    for (const QStringList& input : inputs) {
        QTRY_VERIFY2(answer(source.idleSeconds()) >= 1.0, qPrintable(input.constFirst()));
        xdotool(input);
        QVERIFY2(answer(source.idleSeconds()) < 0.5, qPrintable(input.constFirst()));
    }
    // Without a bus every answer is no.
    QCOMPARE(answer(source.isScreenLocked()), false);
    QCOMPARE(answer(source.isDisplaySleepBlocked()), false);
}

void X11IdleSourceX11Test::answers_data()
{
    QTest::addColumn<bool>("sessionLocked");
    QTest::addColumn<bool>("screenSaverActive");
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("blocked");

    QTest::newRow("nothing") << false << false << u""_s << u""_s << false << false;
    QTest::newRow("session locked") << true << false << u""_s << u""_s << true << false;
    QTest::newRow("screen saver active") << false << true << u""_s << u""_s << true << false;
    QTest::newRow("idle blocked") << false << false << u"sleep:idle"_s << u"block"_s << false << true;
    QTest::newRow("idle delayed") << false << false << u"idle"_s << u"delay"_s << false << false;
    QTest::newRow("sleep blocked") << false << false << u"sleep:shutdown"_s << u"block"_s << false << false;
}

void X11IdleSourceX11Test::answers()
{
    QFETCH(bool, sessionLocked);
    QFETCH(bool, screenSaverActive);
    QFETCH(QString, what);
    QFETCH(QString, mode);
    QFETCH(bool, locked);
    QFETCH(bool, blocked);

    test::PrivateSessionBus bus;
    QVERIFY2(bus.error().isEmpty(), qPrintable(bus.error()));
    QDBusConnection services = bus.connect(u"services"_s);
    FakeSession session;
    session.locked = sessionLocked;
    FakeManager manager;
    if (!what.isEmpty())
        manager.inhibitors = {Inhibitor{u"shutdown"_s, u"delay"_s}, Inhibitor{what, mode}};
    FakeScreenSaver screenSaver;
    screenSaver.active = screenSaverActive;
    QVERIFY(services.registerObject(u"/org/freedesktop/login1/session/auto"_s, &session,
                                    QDBusConnection::ExportAllProperties));
    QVERIFY(services.registerObject(u"/org/freedesktop/login1"_s, &manager, QDBusConnection::ExportAllSlots));
    QVERIFY(services.registerObject(u"/org/freedesktop/ScreenSaver"_s, &screenSaver,
                                    QDBusConnection::ExportAllSlots));
    QVERIFY(services.registerService(u"org.freedesktop.login1"_s));
    QVERIFY(services.registerService(u"org.freedesktop.ScreenSaver"_s));

    X11IdleSource source(bus.connect(u"system"_s), bus.connect(u"session"_s));
    QCOMPARE(answer(source.isScreenLocked()), locked);
    QCOMPARE(answer(source.isDisplaySleepBlocked()), blocked);
}

void X11IdleSourceX11Test::inhibitorsKeepTheScreenAwake_data()
{
    QTest::addColumn<QString>("witness");
    QTest::addColumn<uint>("gnomeFlags");
    QTest::addColumn<bool>("blocked");

    QTest::newRow("logind idle block") << u"logind"_s << 0u << true;
    QTest::newRow("GNOME idle") << u"gnome"_s << 8u << true;
    QTest::newRow("GNOME logout only") << u"gnome"_s << 1u << false;
    QTest::newRow("power manager") << u"power"_s << 0u << true;
    QTest::newRow("X screen saver suspended") << u"x"_s << 0u << true;
}

void X11IdleSourceX11Test::inhibitorsKeepTheScreenAwake()
{
    QFETCH(QString, witness);
    QFETCH(uint, gnomeFlags);
    QFETCH(bool, blocked);

    test::PrivateSessionBus bus;
    QVERIFY2(bus.error().isEmpty(), qPrintable(bus.error()));
    QDBusConnection services = bus.connect(u"services"_s);
    FakeManager logind;
    FakeGnomeSession gnome;
    FakePowerManager power;
    QVERIFY(services.registerObject(u"/org/freedesktop/login1"_s, &logind, QDBusConnection::ExportAllSlots));
    QVERIFY(services.registerObject(u"/org/gnome/SessionManager"_s, &gnome, QDBusConnection::ExportAllSlots));
    QVERIFY(services.registerObject(u"/org/freedesktop/PowerManagement/Inhibit"_s, &power,
                                    QDBusConnection::ExportAllSlots));
    for (const QString& name :
         {u"org.freedesktop.login1"_s, u"org.gnome.SessionManager"_s, u"org.freedesktop.PowerManagement"_s})
        QVERIFY(services.registerService(name));
    X11IdleSource source(bus.connect(u"system"_s), bus.connect(u"session"_s));
    QCOMPARE(answer(source.isDisplaySleepBlocked()), false);

    // A video player of another X client, or one of the desktop's services, holds the screen.
    test::ScreenSaverSuspender player;
    QVERIFY(player.isConnected());
    if (witness == u"logind"_s)
        logind.inhibitors = {Inhibitor{u"idle"_s, u"block"_s}};
    else if (witness == u"gnome"_s)
        gnome.flags = gnomeFlags;
    else if (witness == u"power"_s)
        power.inhibited = true;
    else
        player.suspend(true);
    QCOMPARE(answer(source.isDisplaySleepBlocked()), blocked);

    logind.inhibitors.clear();
    gnome.flags = 0;
    power.inhibited = false;
    player.suspend(false);
    QCOMPARE(answer(source.isDisplaySleepBlocked()), false);

    // A player that quits without letting go holds nothing any more.
    player.suspend(true);
    player.disconnect();
    QTRY_COMPARE(answer(source.isDisplaySleepBlocked()), false);
}

} // namespace lumi

int main(int argc, char** argv)
{
    return lumi::test::runOnPrivateXServer(argc, argv,
                                           [] { return std::make_unique<lumi::X11IdleSourceX11Test>(); });
}

#include "X11IdleSourceX11Test.moc"
