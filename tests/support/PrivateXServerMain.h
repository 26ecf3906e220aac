#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace lumi::test {

/// Runs a QtTest object in a QGuiApplication on the xcb platform of a PrivateXServer of its own,
/// whose display is in DISPLAY while the test runs. For the main() of X11 tests.
int runOnPrivateXServer(int argc, char** argv, const std::function<std::unique_ptr<QObject>()>& makeTest);

} // namespace lumi::test
