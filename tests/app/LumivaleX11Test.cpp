#include "model/SessionTokenFile.h"
#include "platform/Paths.h"
#include "support/PrivateXServer.h"
#include "support/SandboxFixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

std::unique_ptr<lumi::test::PrivateXServer> server;
constexpr int launchTimeoutMs = 30'000;

} // namespace

/// The built app as a user meets it: a private X server with two monitors and a tray host, a
/// temporary home, the sandbox as the service, and the keyboard and mouse driven by xdotool.
/// The functions run in order, each building on the one before.
class LumivaleX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startsWithTheSignInWindowAndATrayIcon();
    void windowCarriesTheAppIconAndTheEntrysClass();
    void versionAnswersWithoutWakingTheRunningCopy();
    void secondLaunchBringsTheWindowForward();
    void signsInThroughTheWindow();
    void setsWallpapersAndChangesThemFromTheMenu();
    void playsTheSaverOnTheShortcut();
    void quitsFromTheTrayMenu();

private:
    /// Runs a tool to its end; its output, or none when it failed.
    std::optional<QString> tool(const QString& program, const QStringList& arguments, int timeoutMs = 20'000);
    QString log() const;
    bool logShows(const QString& line, int timeoutMs = launchTimeoutMs);
    /// The app's windows, by size: the main window and the tray icon.
    QString findWindow(bool trayIcon);
    /// The root window's wallpaper pixmap id; empty when none is set.
    QString rootPixmap();
    /// What the whole X screen shows.
    QImage rootImage();
    /// Pictures the app has put on the desktop so far, by its log.
    int wallpapersSet() const;

    std::unique_ptr<lumi::test::SandboxFixture> m_sandbox;
    QProcess m_trayHost;
    QProcess m_app;
};

std::optional<QString> LumivaleX11Test::tool(const QString& program, const QStringList& arguments,
                                             int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning("%s %s failed: %s", qPrintable(program), qPrintable(arguments.join(u' ')),
                 process.readAllStandardError().constData());
        return std::nullopt;
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString LumivaleX11Test::log() const
{
    QFile file(lumi::Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool LumivaleX11Test::logShows(const QString& line, int timeoutMs)
{
    return QTest::qWaitFor([&] { return log().contains(line); }, timeoutMs);
}

QString LumivaleX11Test::findWindow(bool trayIcon)
{
    const std::optional<QString> found =
        tool(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--class"_s, u"lumivale"_s});
    if (!found)
        return {};
    for (const QString& window : found->split(u'\n', Qt::SkipEmptyParts)) {
        const std::optional<QString> geometry = tool(u"xdotool"_s, {u"getwindowgeometry"_s, window});
        // The icon is as small as the tray host; the main window is at least its minimum size.
        const bool small =
            geometry && geometry->contains(QRegularExpression(u"Geometry: \\d{1,2}x\\d{1,2}\\b"_s));
        if (small == trayIcon)
            return window;
    }
    return {};
}

QString LumivaleX11Test::rootPixmap()
{
    const std::optional<QString> property = tool(u"xprop"_s, {u"-root"_s, u"_XROOTPMAP_ID"_s});
    if (!property || !property->contains(u"# "_s))
        return {};
    return property->section(u"# "_s, 1);
}

QImage LumivaleX11Test::rootImage()
{
    // A folder of its own: suites of other checkouts take screenshots at the same time.
    const QTemporaryDir folder;
    const QString file = folder.filePath(u"root.png"_s);
    if (!folder.isValid() || !tool(u"import"_s, {u"-window"_s, u"root"_s, file}))
        return {};
    return QImage(file);
}

int LumivaleX11Test::wallpapersSet() const
{
    return int(log().count(u"[wallpaper] set "_s));
}

void LumivaleX11Test::initTestCase()
{
    m_sandbox = std::make_unique<lumi::test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));

    m_trayHost.start(u"trayer"_s, {u"--edge"_s, u"top"_s, u"--align"_s, u"right"_s, u"--widthtype"_s,
                                   u"pixel"_s, u"--width"_s, u"64"_s, u"--height"_s, u"32"_s});
    QVERIFY2(m_trayHost.waitForStarted(), "trayer is needed as the tray host");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 20'000);
}

void LumivaleX11Test::cleanupTestCase()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished();
    }
    m_trayHost.terminate();
    m_trayHost.waitForFinished();
    m_sandbox.reset();
}

void LumivaleX11Test::startsWithTheSignInWindowAndATrayIcon()
{
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(QStringLiteral(LUMIVALE_EXE), {});
    QVERIFY(m_app.waitForStarted());
    QVERIFY2(logShows(u"[app] launch: signed out"_s), qPrintable(log()));
    QVERIFY(tool(u"xdotool"_s, {u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--name"_s, u"^Lumivale$"_s},
                 launchTimeoutMs));
    QTRY_VERIFY_WITH_TIMEOUT(!findWindow(false).isEmpty(), launchTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!findWindow(true).isEmpty(), launchTimeoutMs);
}

void LumivaleX11Test::windowCarriesTheAppIconAndTheEntrysClass()
{
    const QString window = findWindow(false);
    QVERIFY(!window.isEmpty());
    QFile entry(QStringLiteral(LUMIVALE_DESKTOP_TEMPLATE));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString wmClass =
        QRegularExpression(u"^StartupWMClass=(.*)$"_s, QRegularExpression::MultilineOption)
            .match(QString::fromUtf8(entry.readAll()))
            .captured(1);
    QVERIFY(!wmClass.isEmpty());
    const std::optional<QString> classes = tool(u"xprop"_s, {u"-id"_s, window, u"WM_CLASS"_s});
    QVERIFY(classes);
    QVERIFY2(classes->endsWith(u", \"%1\""_s.arg(wmClass)), qPrintable(*classes));
    // The app's own tile colour, fully opaque, is in the icon the window hands the desktop.
    const std::optional<QString> icon = tool(
        u"xprop"_s, {u"-id"_s, window, u"-f"_s, u"_NET_WM_ICON"_s, u"32x"_s, u" = $0+"_s, u"_NET_WM_ICON"_s});
    QVERIFY(icon);
    QVERIFY2(icon->contains(u"0xff2b6cb0"_s), qPrintable(icon->left(200)));
}

void LumivaleX11Test::versionAnswersWithoutWakingTheRunningCopy()
{
    QProcess version;
    version.start(QStringLiteral(LUMIVALE_EXE), {u"--version"_s});
    QVERIFY(version.waitForFinished(launchTimeoutMs));
    QCOMPARE(version.exitCode(), 0);
    QCOMPARE(version.readAllStandardOutput().trimmed(), QByteArray("Lumivale Desktop " LUMIVALE_VERSION));
    QTest::qWait(500);
    QVERIFY2(!log().contains(u"a second copy asked for the main window"_s), qPrintable(log()));
}

void LumivaleX11Test::secondLaunchBringsTheWindowForward()
{
    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QStringLiteral(LUMIVALE_EXE), {});
    QVERIFY(second.waitForFinished(launchTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(logShows(u"[app] a second copy asked for the main window"_s), qPrintable(log()));
    QCOMPARE(m_app.state(), QProcess::Running);
}

void LumivaleX11Test::signsInThroughTheWindow()
{
    const QString window = findWindow(false);
    QVERIFY(!window.isEmpty());
    QVERIFY(tool(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, window}));
    // The window opens on "Create your account" in its first field; one step back is the link
    // to the sign-in form, which then starts in its e-mail field.
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"--delay"_s, u"50"_s, u"shift+Tab"_s, u"space"_s}));
    QVERIFY(tool(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"20"_s, lumi::test::SandboxFixture::demoEmail}));
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"Tab"_s}));
    QVERIFY(tool(u"xdotool"_s, {u"type"_s, u"--delay"_s, u"20"_s, lumi::test::SandboxFixture::demoPassword}));
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"Return"_s}));

    QVERIFY2(logShows(u"[app] signed in"_s), qPrintable(log()));
    QVERIFY2(logShows(u"[app] start sequence done"_s), qPrintable(log()));
    QVERIFY(lumi::SessionTokenFile::load().has_value());
    // The offer to start at login comes up after a first sign-in; Escape puts it away.
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"Escape"_s}));
}

void LumivaleX11Test::setsWallpapersAndChangesThemFromTheMenu()
{
    // The demo account's wallpaper playlist gives each of the two monitors a picture of its own.
    QTRY_VERIFY_WITH_TIMEOUT(wallpapersSet() >= 2, 120'000);
    QVERIFY(!rootPixmap().isEmpty());
    const QImage before = rootImage();
    QVERIFY(!before.isNull());
    const int setBefore = wallpapersSet();

    // Tray icon, then the menu's "Next Wallpaper" (the first item that can be chosen).
    const QString icon = findWindow(true);
    QVERIFY(tool(u"xdotool"_s, {u"mousemove"_s, u"--window"_s, icon, u"5"_s, u"5"_s, u"click"_s, u"1"_s}));
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"--delay"_s, u"200"_s, u"Down"_s, u"Return"_s}));
    QTRY_VERIFY_WITH_TIMEOUT(wallpapersSet() >= setBefore + 2, 60'000);
    // Both monitors show something new. (The pixmap's id says nothing here: the X server hands a
    // freed id out again.)
    const QImage after = rootImage();
    for (const QRect& monitor : {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)})
        QVERIFY2(after.copy(monitor) != before.copy(monitor),
                 qPrintable(u"the monitor at %1,%2 kept its picture"_s.arg(monitor.x()).arg(monitor.y())));
}

void LumivaleX11Test::playsTheSaverOnTheShortcut()
{
    // The desktop alone: the main window, active since its sheet closed, shows a blinking caret.
    const QString window = findWindow(false);
    QVERIFY(!window.isEmpty());
    QVERIFY(tool(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, window}));
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"ctrl+w"_s}));
    QTRY_VERIFY(findWindow(false).isEmpty());
    const QImage wallpapers = rootImage();
    QVERIFY(!wallpapers.isNull());
    const QList<QRect> monitors{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"super+shift+s"_s}));
    QVERIFY2(logShows(u"[player] saver started on 2 screens"_s), qPrintable(log()));

    // Each monitor goes black, then its first photo fades in from the sandbox.
    const auto photosOnBoth = [&] {
        const QImage screen = rootImage();
        return std::all_of(monitors.cbegin(), monitors.cend(), [&](const QRect& monitor) {
            return screen.copy(monitor) != wallpapers.copy(monitor) &&
                   screen.pixelColor(monitor.center()) != QColor(Qt::black);
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(photosOnBoth(), 60'000);

    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"space"_s}));
    QVERIFY2(logShows(u"[player] saver ended"_s), qPrintable(log()));
    QTRY_VERIFY_WITH_TIMEOUT(rootImage() == wallpapers, 10'000);
}

void LumivaleX11Test::quitsFromTheTrayMenu()
{
    const QString icon = findWindow(true);
    QVERIFY(!icon.isEmpty());
    // A click opens the menu; Up from nothing chosen lands on its last item, "Quit Lumivale".
    QVERIFY(tool(u"xdotool"_s, {u"mousemove"_s, u"--window"_s, icon, u"5"_s, u"5"_s, u"click"_s, u"1"_s}));
    QVERIFY(tool(u"xdotool"_s, {u"key"_s, u"--delay"_s, u"300"_s, u"Up"_s, u"Return"_s}));
    QVERIFY(m_app.waitForFinished(launchTimeoutMs));
    QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_app.exitCode(), 0);
    QVERIFY(log().contains(u"[app] quitting"_s));
}

int main(int argc, char** argv)
{
    server = std::make_unique<lumi::test::PrivateXServer>();
    if (server->display().isEmpty()) {
        qCritical("%s", qPrintable(server->error()));
        return 1;
    }
    qputenv("DISPLAY", server->display());
    int status = 0;
    {
        QApplication app(argc, argv);
        LumivaleX11Test test;
        status = QTest::qExec(&test, argc, argv);
    }
    server.reset();
    return status;
}

#include "LumivaleX11Test.moc"
