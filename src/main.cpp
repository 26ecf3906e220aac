#include "app/Application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    lumi::Application app(lumi::Application::Options::fromArguments(qtApp.arguments()),
                          lumi::StartupServices::standard());
    return app.run();
}
