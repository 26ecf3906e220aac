#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace lumi {

CommandLine CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Keeps your desktop wallpaper and screen saver fed with photos from your Lumivale playlists.\n"
        "It runs in the system tray; starting it again while it runs brings its window forward."_s);
    // Not addHelpOption(): its --help-all lists options of Qt's that this program does not take here.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help."_s);
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption autostart(
        u"autostart"_s,
        u"Started at login: a signed-in user starts quietly in the tray, without a window."_s);
    parser.addOption(autostart);

    CommandLine line;
    const bool parsed = parser.parse(arguments);
    // No application object exists yet, so Qt cannot name the program in the usage line itself.
    const QString program = arguments.isEmpty() ? u"lumivale"_s : QFileInfo(arguments.first()).fileName();
    const QString usage = parser.helpText().replace(u"<executable_name>"_s, program);
    if (!parsed || !parser.positionalArguments().isEmpty()) {
        line.m_request = Request::misuse;
        const QString problem = parsed
                                    ? u"Unexpected argument '%1'."_s.arg(parser.positionalArguments().first())
                                    : parser.errorText();
        line.m_text = program + u": "_s + problem + u"\n\n"_s + usage;
    } else if (parser.isSet(help)) {
        line.m_request = Request::help;
        line.m_text = usage;
    } else if (parser.isSet(version)) {
        line.m_request = Request::version;
        line.m_text = u"Lumivale Desktop "_s + QStringLiteral(LUMIVALE_VERSION) + u'\n';
    }
    line.m_autostart = parser.isSet(autostart);
    return line;
}

} // namespace lumi
