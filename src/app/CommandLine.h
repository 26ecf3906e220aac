#pragma once

#include <QString>
#include <QStringList>

namespace lumi {

/// What the command line asks for. It is read before any application object exists, so --help
/// and --version answer without a display and without waking a copy that already runs.
class CommandLine final
{
public:
    enum class Request {
        run,     ///< start the app
        help,    ///< print the usage and end
        version, ///< print the version and end
        misuse   ///< an unknown option or a stray argument: print what is wrong and the usage
    };

    /// arguments as the program got them, its own path first.
    static CommandLine parse(const QStringList& arguments);

    Request request() const { return m_request; }
    /// Started by the desktop's autostart entry at login.
    bool autostart() const { return m_autostart; }
    /// What to print: on the standard output for help and version, on the standard error for misuse.
    QString text() const { return m_text; }
    /// The process's exit status when it ends without running: 0, or 2 for misuse.
    int exitStatus() const { return m_request == Request::misuse ? 2 : 0; }

private:
    Request m_request = Request::run;
    bool m_autostart = false;
    QString m_text;
};

} // namespace lumi
