#include "platform/linux/QtScreens.h"
#include "support/PrivateXServer.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {
std::unique_ptr<test::PrivateXServer> server;
}

/// The screens Qt reports on a private Xvfb whose RandR monitors the test changes.
class QtScreensX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void readsTheMonitors();
    void reportsABurstOfChangesOnce();
};

void QtScreensX11Test::readsTheMonitors()
{
    const QList<DisplayInfo> displays = QtScreens().displays();
    QCOMPARE(displays.size(), 2);
    QStringList names;
    for (const DisplayInfo& display : displays) {
        names.append(display.name);
        QCOMPARE(display.number, DisplayInfo::numberForName(display.name));
        QCOMPARE(display.displayId, display.name); // Xvfb has no EDID serial
        QCOMPARE(display.pixelSize, display.geometry.size());
        const QRect expected =
            display.name == u"LEFT"_s ? QRect(0, 0, 1920, 1080) : QRect(1920, 0, 1280, 1024);
        QCOMPARE(display.geometry, expected);
    }
    names.sort();
    QCOMPARE(names, (QStringList{u"LEFT"_s, u"RIGHT"_s}));
}

void QtScreensX11Test::reportsABurstOfChangesOnce()
{
    const QtScreens screens(200ms);
    QSignalSpy changed(&screens, &Screens::displaysChanged);

    // Swap the right monitor for another, smaller one. Qt rereads the monitors when the root window
    // is resized, so switch the output's mode away and back as a docking station would: a monitor
    // removed and one added, one notification.
    const QList<QStringList> steps{
        {u"--newmode"_s, u"3000x1080"_s, u"0"_s, u"3000"_s, u"0"_s, u"0"_s, u"0"_s, u"1080"_s, u"0"_s, u"0"_s,
         u"0"_s},
        {u"--addmode"_s, u"screen"_s, u"3000x1080"_s},
        {u"--delmonitor"_s, u"RIGHT"_s},
        {u"--setmonitor"_s, u"SIDE"_s, u"1024/271x768/203+1920+0"_s, u"none"_s},
        {u"--output"_s, u"screen"_s, u"--mode"_s, u"3000x1080"_s},
        {u"--output"_s, u"screen"_s, u"--mode"_s, u"3200x1080"_s},
    };
    for (const QStringList& step : steps)
        QCOMPARE(server->xrandr(step), QString());

    QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 10000);
    QTest::qWait(1000); // a second notification would come within the settle time
    QCOMPARE(changed.size(), 1);

    const QList<DisplayInfo> displays = screens.displays();
    QCOMPARE(displays.size(), 2);
    const DisplayInfo& side = displays.constLast();
    QCOMPARE(side.name, u"SIDE"_s);
    QCOMPARE(side.geometry, QRect(1920, 0, 1024, 768));
    QCOMPARE(side.pixelSize, QSize(1024, 768));
    QCOMPARE(side.number, DisplayInfo::numberForName(u"SIDE"_s));
}

} // namespace lumi

int main(int argc, char** argv)
{
    lumi::server = std::make_unique<lumi::test::PrivateXServer>();
    if (lumi::server->display().isEmpty()) {
        qCritical("%s", qPrintable(lumi::server->error()));
        return 1;
    }
    qputenv("DISPLAY", lumi::server->display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    int status = 0;
    {
        QGuiApplication app(argc, argv);
        lumi::QtScreensX11Test test;
        status = QTest::qExec(&test, argc, argv);
    }
    lumi::server.reset();
    return status;
}

#include "QtScreensX11Test.moc"
