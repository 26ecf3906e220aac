#pragma once

#include <QByteArray>
#include <QString>

namespace lumi {

/// The crash files a fatal crash leaves in the data folder, as their writer lays them out: the
/// platform's handlers write them and the crash catcher reads them back at the next launch.
class CrashFile final
{
public:
    CrashFile() = delete;

    static QString signalFile(const QString& folder);
    static QString exceptionFile(const QString& folder);

    /// The first three lines of both files: format, the main executable's load address, version.
    static QByteArray header(quint64 loadBase, const QString& version);
    /// The whole exception file. The reason is kept on one line and cut to 1024 characters, so
    /// it can never fake the section separator; frames are the symbolizer's lines.
    static QByteArray exceptionText(const QByteArray& header, const QString& type, const QString& reason,
                                    qint64 secondsSinceEpoch, const QByteArray& frames);
};

} // namespace lumi
