#include "support/PrivateXServerMain.h"

#include "support/PrivateXServer.h"

#include <QGuiApplication>
#include <QTest>

namespace lumi::test {

int runOnPrivateXServer(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& makeTest)
{
    const PrivateXServer server;
    if (server.display().isEmpty()) {
        qCritical("%s", qPrintable(server.error()));
        return 1;
    }
    // Qt connects to the display when the application is made.
    qputenv("DISPLAY", server.display());
    qputenv("QT_QPA_PLATFORM", "xcb");
    const QGuiApplication app(argc, argv);
    const std::unique_ptr<QObject> test = makeTest();
    return QTest::qExec(test.get(), argc, argv);
}

} // namespace lumi::test
