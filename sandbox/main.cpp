// lumivale-sandbox: the local stand-in of the Lumivale service for tests and the demo run.
//   lumivale-sandbox --port N --state-dir DIR [--exit-with-parent] [--bulk-collection]
// The first line on stdout is the API base URL.

#include "SandboxServer.h"

#include <QCommandLineParser>
#include <QGuiApplication>

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    // Photos are drawn with QPainter (fonts need a GUI application) but nothing is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"lumivale-sandbox"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(u"Local stand-in of the Lumivale service."_s);
    parser.addHelpOption();
    const QCommandLineOption portOption(u"port"_s, u"Port on 127.0.0.1; 0 picks a free one."_s, u"N"_s,
                                        u"0"_s);
    const QCommandLineOption stateOption(u"state-dir"_s, u"Folder of the persistent state."_s, u"DIR"_s);
    const QCommandLineOption parentOption(u"exit-with-parent"_s,
                                          u"End when the process that started the sandbox ends."_s);
    const QCommandLineOption bulkOption(u"bulk-collection"_s,
                                        u"Adds a collection of 5,000 photos under media/channels/bulk."_s);
    parser.addOptions({portOption, stateOption, parentOption, bulkOption});
    parser.process(app);

    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    if (!portOk || port > 65535 || !parser.isSet(stateOption)) {
        std::fputs("lumivale-sandbox: give --port N (0 for any) and --state-dir DIR\n", stderr);
        return 2;
    }
    if (parser.isSet(parentOption)) {
        // A test that crashes must not leave its sandbox behind.
        const pid_t parent = getppid();
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent)
            return 1;
    }

    lumi::sandbox::SandboxServer server(parser.value(stateOption), parser.isSet(bulkOption) ? 5000 : 0);
    QString problem;
    if (!server.start(quint16(port), &problem)) {
        std::fprintf(stderr, "lumivale-sandbox: %s\n", qPrintable(problem));
        return 1;
    }
    std::fprintf(stdout, "%s\n", qPrintable(server.apiUrl()));
    std::fflush(stdout);
    return app.exec();
}
