#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

/// The reading of the crash files (`CrashFile`) a fatal crash left in the data folder, at the next
/// launch.
class CrashCatcher final
{
public:
    /// A crash of an earlier run, ready to be reported.
    struct Crash
    {
        QString message; ///< "uncaught " and the exception's type, or the signal's name
        QString stack;   ///< the system line, the reason line when there is one, one line a frame
        QString fingerprint;
        QString version;
        QDateTime occurredAt;
    };

    CrashCatcher() = delete;

    /// The crash the previous run left, the exception file first; both files are deleted in every
    /// case, so a file that cannot be read is never tried again.
    static std::optional<Crash> pendingCrash(const QString& folder);
    /// One crash file's text; none when it does not follow the layout. Frames of `appBinaries`
    /// (file names) are the app's own: they carry offsets and make the fingerprint.
    static std::optional<Crash> parse(const QString& text, const QStringList& appBinaries = appBinaryNames());
    /// The file names this executable runs under: the file the kernel started and its argv[0].
    static QStringList appBinaryNames();
    /// "SIGSEGV" and the other caught signals by name, any other number as "SIG<n>".
    static QString signalName(int number);
};

} // namespace lumi
