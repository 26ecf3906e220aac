#pragma once

#include "support/PrivateXServer.h"

#include <QGuiApplication>
#include <QObject>
#include <QTest>

#include <functional>
#include <memory>

namespace lumi::test {

/// Runs a QtTest object in an application on the xcb platform of a PrivateXServer of its own,
/// whose display is in DISPLAY while the test runs. For the main() of X11 tests; a test of widgets
/// names QApplication.
template <typename Application = QGuiApplication>
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
    const Application app(argc, argv);
    const std::unique_ptr<QObject> test = makeTest();
    return QTest::qExec(test.get(), argc, argv);
}

} // namespace lumi::test
