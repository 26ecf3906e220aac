#include "platform/linux/QtScreens.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace lumi {

/// The Qt screens as the offscreen platform reports them from a screens file: a plain screen, a
/// screen at devicePixelRatio 2 and one without size. Other screen sets need their own
/// QGuiApplication, so those tests run this program again in a child process.
class QtScreensTest final : public QObject
{
    Q_OBJECT

private slots:
    void listsUsableScreensInOrder();
    void resolution_data();
    void resolution();

private:
    QTemporaryDir m_dir;
};

void QtScreensTest::listsUsableScreensInOrder()
{
    const QtScreens screens;
    const QList<DisplayInfo> displays = screens.displays();

    QCOMPARE(QGuiApplication::screens().size(), 3);

    QCOMPARE(displays.size(), 2);
    QCOMPARE(displays[0].name, u"Plain"_s);
    QCOMPARE(displays[0].geometry, QRect(0, 0, 1920, 1080));
    QCOMPARE(displays[0].pixelSize, QSize(1920, 1080));
    QCOMPARE(displays[0].number, DisplayInfo::numberForName(u"Plain"_s));
    QCOMPARE(displays[0].displayId, u"Plain"_s);

    QCOMPARE(displays[1].name, u"Retina"_s);
    QCOMPARE(displays[1].geometry, QRect(1920, 0, 1440, 900));
    QCOMPARE(displays[1].devicePixelRatio, 2.0);
    QCOMPARE(displays[1].pixelSize, QSize(2880, 1800));
}

void QtScreensTest::resolution_data()
{
    QTest::addColumn<QByteArray>("screens");
    QTest::addColumn<QString>("expected");

    QTest::newRow("scale 2") << QByteArray(R"([{"name":"A","x":0,"y":0,"width":1512,"height":982,"dpr":2},
                                               {"name":"B","x":1512,"y":0,"width":1920,"height":1080,"dpr":1}])")
                             << u"3024x1964"_s;
    QTest::newRow("fraction dropped")
        << QByteArray(R"([{"name":"A","x":0,"y":0,"width":1001,"height":751,"dpr":1.5}])") << u"1501x1126"_s;
    QTest::newRow("no screen") << QByteArray("[]") << QString();
}

void QtScreensTest::resolution()
{
    QFETCH(QByteArray, screens);
    QFETCH(QString, expected);
    QFile config(m_dir.filePath(u"screens-"_s + QString::fromLatin1(QTest::currentDataTag()) + u".json"_s));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(R"({"screens":)" + screens + '}');
    config.close();

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + config.fileName());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {u"--print-resolution"_s});
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), expected);
}

} // namespace lumi

int main(int argc, char** argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--print-resolution") == 0) {
        QGuiApplication app(argc, argv);
        std::fputs(lumi::QtScreens().resolution().toUtf8().constData(), stdout);
        return 0;
    }
    QTemporaryDir dir;
    QFile config(dir.filePath(u"screens.json"_s));
    if (!dir.isValid() || !config.open(QIODevice::WriteOnly))
        return 1;
    config.write(R"({"screens": [
        {"name": "Plain", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Retina", "x": 1920, "y": 0, "width": 1440, "height": 900, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2},
        {"name": "Empty", "x": 3360, "y": 0, "width": 0, "height": 0, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QGuiApplication app(argc, argv);
    lumi::QtScreensTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "QtScreensTest.moc"
