#include "services/CrashCatcher.h"

#include "model/CrashFile.h"
#include "model/CrashReport.h"
#include "model/DeviceInfo.h"
#include "state/DeviceRecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSysInfo>

#include <algorithm>
#include <csignal>
#include <iterator>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int keyFrameCount = 4;
const QString separator = u"\n--\n"_s;

struct Frame
{
    /// The object's file name: it tells the app's own frames apart, and unlike its path it names
    /// neither the home folder nor the user.
    QString name;
    QString symbol;
    std::optional<quint64> offset;
};

/// glibc's lines: "./lumivale(handleSignal+0x1c) [0x55…]", "/…/libc.so.6(+0x3c050) [0x7f…]".
std::optional<Frame> parseFrame(const QString& line, quint64 base, const QStringList& appNames)
{
    static const QRegularExpression pattern(uR"(^(.*?)(?:\((.*)\))?\s*\[0x([0-9a-fA-F]+)\]$)"_s);
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    Frame frame{
        .name = QFileInfo(match.captured(1).trimmed()).fileName(), .symbol = match.captured(2), .offset = {}};
    bool ok = false;
    const quint64 address = match.captured(3).toULongLong(&ok, 16);
    if (ok && base != 0 && address >= base && appNames.contains(frame.name))
        frame.offset = address - base;
    return frame;
}

/// The signal handler's own frames end at the unnamed libc trampoline it returns through.
bool isSignalTrampoline(const Frame& frame)
{
    return (frame.name.startsWith(u"libc.so"_s) || frame.name.startsWith(u"libc-"_s)) &&
           (frame.symbol.isEmpty() || frame.symbol.startsWith(u'+'));
}

QHash<QString, QString> fieldsOf(const QString& section)
{
    QHash<QString, QString> fields;
    for (const QString& rawLine : section.split(u'\n', Qt::SkipEmptyParts)) {
        qsizetype start = 0;
        while (start < rawLine.size() && rawLine[start] == u' ')
            ++start;
        const QString line = rawLine.mid(start);
        const qsizetype blank = line.indexOf(u' ');
        if (blank <= 0 || blank + 1 >= line.size())
            continue;
        fields.insert(line.left(blank), line.mid(blank + 1));
    }
    return fields;
}

std::optional<int> signalNumber(const QString& value)
{
    static const QRegularExpression decimal(u"^[+-]?[0-9]+$"_s);
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!decimal.match(value).hasMatch() || !ok)
        return std::nullopt;
    return number;
}

QDateTime timeOf(const QString& value)
{
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok || value.front().isSpace())
        return QDateTime::currentDateTimeUtc();
    return QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000.0), Qt::UTC);
}

QString stackLine(const Frame& frame)
{
    QString line = u"    at "_s + frame.name;
    if (frame.offset)
        line += u" +"_s + QString::number(*frame.offset);
    return line + u"  "_s + frame.symbol;
}

QString keyOf(const Frame& frame)
{
    return frame.offset ? frame.name + u'+' + QString::number(*frame.offset)
                        : frame.name + u' ' + frame.symbol;
}

} // namespace

QStringList CrashCatcher::appBinaryNames()
{
    QStringList names{QFileInfo(QCoreApplication::applicationFilePath()).fileName()};
    const QStringList arguments = QCoreApplication::arguments();
    if (!arguments.isEmpty())
        names.append(QFileInfo(arguments.first()).fileName());
    names.removeAll(QString());
    return names;
}

std::optional<CrashCatcher::Crash> CrashCatcher::pendingCrash(const QString& folder)
{
    std::optional<Crash> crash;
    for (const QString& path : {CrashFile::exceptionFile(folder), CrashFile::signalFile(folder)}) {
        QFile file(path);
        if (!crash && file.open(QIODevice::ReadOnly))
            crash = parse(QString::fromUtf8(file.readAll()));
        file.close();
        QFile::remove(path);
    }
    return crash;
}

std::optional<CrashCatcher::Crash> CrashCatcher::parse(const QString& text, const QStringList& appBinaries)
{
    const QStringList sections = text.split(separator);
    if (sections.size() != 2 || !sections[0].startsWith(u"lumivale-crash "_s))
        return std::nullopt;
    const QHash<QString, QString> fields = fieldsOf(sections[0]);

    bool baseOk = false;
    quint64 base = fields.value(u"base"_s).toULongLong(&baseOk, 16);
    if (!baseOk)
        base = 0;
    QList<Frame> frames;
    for (const QString& line : sections[1].split(u'\n', Qt::SkipEmptyParts)) {
        if (auto frame = parseFrame(line, base, appBinaries))
            frames.append(*frame);
    }
    // The exception handler writes its frames from the throw on already.
    if (!fields.contains(u"exception"_s)) {
        const auto handlerEnd = std::find_if(frames.cbegin(), frames.cend(), isSignalTrampoline);
        if (handlerEnd != frames.cend())
            frames.erase(frames.cbegin(), handlerEnd + 1);
    }

    QStringList stack{u"os: "_s + QSysInfo::prettyProductName() + u' ' + DeviceRecord::architecture()};
    QString message;
    if (fields.contains(u"exception"_s)) {
        message = u"uncaught "_s + fields.value(u"exception"_s);
        if (const QString reason = fields.value(u"reason"_s); !reason.isEmpty())
            stack.append(u"reason: "_s + reason);
    } else if (const auto number = signalNumber(fields.value(u"signal"_s))) {
        message = signalName(*number);
    } else {
        return std::nullopt;
    }

    QStringList keys{u"crash: "_s + message};
    QList<Frame> own;
    std::copy_if(frames.cbegin(), frames.cend(), std::back_inserter(own),
                 [&](const Frame& frame) { return appBinaries.contains(frame.name); });
    const QList<Frame>& keySource = own.isEmpty() ? frames : own;
    for (const Frame& frame : keySource.first(std::min<qsizetype>(keyFrameCount, keySource.size())))
        keys.append(keyOf(frame));
    for (const Frame& frame : frames)
        stack.append(stackLine(frame));

    return Crash{
        .message = message,
        .stack = stack.join(u'\n'),
        .fingerprint = CrashReport::fingerprintOf(keys),
        .version = fields.value(u"version"_s, DeviceInfo::appVersion()),
        .occurredAt = timeOf(fields.value(u"time"_s)),
    };
}

QString CrashCatcher::signalName(int number)
{
    switch (number) {
    case SIGILL:
        return u"SIGILL"_s;
    case SIGTRAP:
        return u"SIGTRAP"_s;
    case SIGABRT:
        return u"SIGABRT"_s;
    case SIGBUS:
        return u"SIGBUS"_s;
    case SIGFPE:
        return u"SIGFPE"_s;
    case SIGSEGV:
        return u"SIGSEGV"_s;
    default:
        return u"SIG"_s + QString::number(number);
    }
}

} // namespace lumi
