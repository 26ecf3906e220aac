#include "model/CrashFile.h"

#include "model/Graphemes.h"

#include <QDir>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int reasonLimit = 1024;

} // namespace

QString CrashFile::signalFile(const QString& folder)
{
    return QDir(folder).filePath(u"crash-signal.txt"_s);
}

QString CrashFile::exceptionFile(const QString& folder)
{
    return QDir(folder).filePath(u"crash-exception.txt"_s);
}

QByteArray CrashFile::header(quint64 loadBase, const QString& version)
{
    return "lumivale-crash 1\nbase " + QByteArray::number(loadBase, 16) + "\nversion " + version.toUtf8() +
           '\n';
}

QByteArray CrashFile::exceptionText(const QByteArray& header, const QString& type, const QString& reason,
                                    qint64 secondsSinceEpoch, const QByteArray& frames)
{
    QString oneLine = reason;
    oneLine.replace(u'\n', u' ');
    QByteArray text = header + "exception " + type.toUtf8() + "\nreason " +
                      Graphemes::first(oneLine, reasonLimit).toUtf8() + "\ntime " +
                      QByteArray::number(secondsSinceEpoch) + "\n--\n" + frames;
    if (!text.endsWith('\n'))
        text += '\n';
    return text;
}

} // namespace lumi
