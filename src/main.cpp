#include "app/Application.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qtApp(argc, argv);
    lumi::Application app(qtApp.arguments());
    return app.run();
}
