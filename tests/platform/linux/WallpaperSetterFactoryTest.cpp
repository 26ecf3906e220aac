#include "platform/linux/WallpaperSetterFactory.h"
#include "support/FakeScreens.h"
#include "support/PrivateSessionBus.h"

#include <QCoroTask>
#include <QTest>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Sets environment variables for its lifetime (nullopt: unset) and restores them after.
class ScopedEnvironment final
{
public:
    explicit ScopedEnvironment(const QList<std::pair<const char*, std::optional<QByteArray>>>& values)
    {
        for (const auto& [name, value] : values) {
            m_saved.append(
                {name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt});
            value ? qputenv(name, *value) : qunsetenv(name);
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : std::as_const(m_saved))
            value ? qputenv(name, *value) : qunsetenv(name);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    QList<std::pair<const char*, std::optional<QByteArray>>> m_saved;
};

} // namespace

class WallpaperSetterFactoryTest final : public QObject
{
    Q_OBJECT

private slots:
    void choosesByDesktopAndBus_data();
    void choosesByDesktopAndBus();
    void createsWhatTheSessionOffers_data();
    void createsWhatTheSessionOffers();
};

void WallpaperSetterFactoryTest::choosesByDesktopAndBus_data()
{
    QTest::addColumn<QString>("desktop"); // XDG_CURRENT_DESKTOP
    QTest::addColumn<QString>("session"); // "x11", "wayland" (with XWayland) or "" (no display)
    QTest::addColumn<QStringList>("busNames");
    QTest::addColumn<bool>("gsettings");
    QTest::addColumn<int>("backend");

    const int gnome = int(WallpaperBackend::Gnome), kde = int(WallpaperBackend::Kde),
              xfce = int(WallpaperBackend::Xfce), root = int(WallpaperBackend::X11Root),
              none = int(WallpaperBackend::Unsupported);
    const QStringList shell{u"org.gnome.Shell"_s}, dconf{u"ca.desrt.dconf"_s},
        plasma{u"org.kde.plasmashell"_s}, xfconf{u"org.xfce.Xfconf"_s};

    QTest::newRow("GNOME") << u"GNOME"_s << u"wayland"_s << shell << true << gnome;
    QTest::newRow("Ubuntu, settings service activatable")
        << u"ubuntu:GNOME"_s << u"x11"_s << dconf << true << gnome;
    QTest::newRow("Budgie") << u"Budgie:GNOME"_s << u"x11"_s << dconf << true << gnome;
    QTest::newRow("GNOME without the gsettings tool, X11")
        << u"GNOME"_s << u"x11"_s << shell << false << root;
    QTest::newRow("GNOME without a settings service, Wayland")
        << u"GNOME"_s << u"wayland"_s << QStringList() << true << none;
    QTest::newRow("KDE Plasma") << u"KDE"_s << u"wayland"_s << plasma << true << kde;
    QTest::newRow("KDE without plasmashell, X11") << u"KDE"_s << u"x11"_s << dconf << true << root;
    QTest::newRow("XFCE, any letter case") << u"xfce"_s << u"x11"_s << xfconf << false << xfce;
    QTest::newRow("XFCE without xfconf, X11") << u"XFCE"_s << u"x11"_s << QStringList() << false << root;
    QTest::newRow("first supported name wins")
        << u"X-Custom:KDE:GNOME"_s << u"x11"_s << plasma + shell << true << kde;
    QTest::newRow("unknown desktop, X11") << u"i3"_s << u"x11"_s << shell << true << root;
    QTest::newRow("no desktop named, X11") << QString() << u"x11"_s << QStringList() << false << root;
    QTest::newRow("unknown desktop, Wayland with XWayland")
        << u"sway"_s << u"wayland"_s << dconf << true << none;
    QTest::newRow("no display at all") << QString() << QString() << QStringList() << false << none;
}

void WallpaperSetterFactoryTest::choosesByDesktopAndBus()
{
    QFETCH(QString, desktop);
    QFETCH(QString, session);
    QFETCH(QStringList, busNames);
    QFETCH(bool, gsettings);
    QFETCH(int, backend);

    DesktopFacts facts;
    facts.desktops = desktop.split(u':', Qt::SkipEmptyParts);
    facts.wayland = session == u"wayland"_s;
    facts.x11 = !session.isEmpty();
    facts.busNames = busNames;
    facts.gsettings = gsettings;
    QCOMPARE(int(WallpaperSetterFactory::choose(facts)), backend);
}

void WallpaperSetterFactoryTest::createsWhatTheSessionOffers_data()
{
    QTest::addColumn<QByteArray>("desktop");
    QTest::addColumn<bool>("wayland");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failure"); // what every call answers; empty: the setter may work

    QTest::newRow("Plasma found on the bus") << QByteArray("KDE") << false << u"KDE Plasma"_s << QString();
    QTest::newRow("unknown X11 desktop") << QByteArray("i3") << false << u"X11 root window"_s << QString();
    QTest::newRow("unknown Wayland desktop")
        << QByteArray("sway") << true << u"none"_s
        << u"There is no way to set the wallpaper on this desktop (sway, Wayland). Wallpapers can be set on "
           u"GNOME, KDE Plasma, Xfce and X11 sessions of other desktops. The picture is at /x.jpg."_s;
}

void WallpaperSetterFactoryTest::createsWhatTheSessionOffers()
{
    QFETCH(QByteArray, desktop);
    QFETCH(bool, wayland);
    QFETCH(QString, name);
    QFETCH(QString, failure);

    // A fake Plasma: only its name on a private bus matters here.
    test::PrivateSessionBus bus;
    QVERIFY2(!bus.address().isEmpty(), qPrintable(bus.error()));
    QVERIFY(bus.connect(u"plasma"_s).registerService(u"org.kde.plasmashell"_s));
    const ScopedEnvironment environment({
        {"XDG_CURRENT_DESKTOP", desktop},
        {"XDG_SESSION_TYPE", wayland ? QByteArray("wayland") : QByteArray("x11")},
        {"WAYLAND_DISPLAY", wayland ? std::optional(QByteArray("wayland-0")) : std::nullopt},
        {"DISPLAY", QByteArray(":0")},
    });

    const test::FakeScreens screens({test::FakeScreens::display(u"DP-1"_s, QRect(0, 0, 800, 600))});
    const std::unique_ptr<WallpaperSetter> setter =
        QCoro::waitFor(WallpaperSetterFactory::create(&screens, bus.connect(u"app"_s)));
    QCOMPARE(setter->name(), name);
    if (failure.isEmpty())
        return;
    const WallpaperSetResult result =
        QCoro::waitFor(setter->setWallpaper({screens.displays().constFirst(), u"/x.jpg"_s}));
    QVERIFY(!result.ok());
    QVERIFY(result.permanent());
    QCOMPARE(result.error(), failure);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::WallpaperSetterFactoryTest)
#include "WallpaperSetterFactoryTest.moc"
