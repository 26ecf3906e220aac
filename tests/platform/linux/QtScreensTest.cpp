#include "platform/linux/QtScreens.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace lumi {

/// The Qt screens as the offscreen platform reports them from a screens file: a plain screen, a
/// screen at devicePixelRatio 2 and one without size.
class QtScreensTest final : public QObject
{
    Q_OBJECT

private slots:
    void listsUsableScreensInOrder();
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

} // namespace lumi

int main(int argc, char** argv)
{
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
