#include "app/Application.h"
#include "app/CommandLine.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const lumi::CommandLine commandLine = lumi::CommandLine::parse(arguments);
    if (commandLine.request() != lumi::CommandLine::Request::run) {
        const QByteArray text = commandLine.text().toLocal8Bit();
        std::fputs(text.constData(), commandLine.exitStatus() == 0 ? stdout : stderr);
        return commandLine.exitStatus();
    }

    QApplication qtApp(argc, argv);
    lumi::Application app(lumi::Application::Options{.autostart = commandLine.autostart()},
                          lumi::StartupServices::standard());
    return app.run();
}
