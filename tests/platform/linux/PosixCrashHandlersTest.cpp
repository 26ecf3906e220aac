#include "platform/linux/PosixCrashHandlers.h"
#include "model/CrashFile.h"
#include "services/CrashCatcher.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;
using lumi::CrashCatcher;
using lumi::CrashFile;

/// Real processes crash with the handlers armed; what they leave is read back as the next launch
/// would read it.
class PosixCrashHandlersTest final : public QObject
{
    Q_OBJECT

private slots:
    void crashLeavesAFileTheNextLaunchReports_data();
    void crashLeavesAFileTheNextLaunchReports();
    void fingerprintsFollowTheCrashSite();

private:
    struct Run
    {
        int signal = 0;
        QString signalText;
        QString exceptionText;
    };
    /// Runs the child in a fresh folder until it dies.
    static Run crash(const QString& how);
    static std::optional<CrashCatcher::Crash> parse(const QString& text);
    static QString firstOwnFrame(const QString& stack);
};

namespace {

const QString childName = QFileInfo(QStringLiteral(LUMIVALE_CRASH_CHILD)).fileName();

} // namespace

PosixCrashHandlersTest::Run PosixCrashHandlersTest::crash(const QString& how)
{
    QTemporaryDir folder;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(LUMIVALE_CRASH_CHILD), {how, folder.path()});
    if (!child.waitForFinished(60'000))
        return {};
    Run run;
    // For a process that died by a signal, Qt reports the signal as its exit code.
    run.signal = child.exitStatus() == QProcess::CrashExit ? child.exitCode() : 0;
    auto read = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    run.signalText = read(CrashFile::signalFile(folder.path()));
    run.exceptionText = read(CrashFile::exceptionFile(folder.path()));
    return run;
}

std::optional<CrashCatcher::Crash> PosixCrashHandlersTest::parse(const QString& text)
{
    return CrashCatcher::parse(text, {childName});
}

QString PosixCrashHandlersTest::firstOwnFrame(const QString& stack)
{
    for (const QString& line : stack.split(u'\n')) {
        if (line.startsWith(u"    at "_s) && line.contains(childName))
            return line.mid(line.lastIndexOf(u"  "_s) + 2).section(u'+', 0, 0);
    }
    return QString();
}

void PosixCrashHandlersTest::crashLeavesAFileTheNextLaunchReports_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("crashingFunction");

    QTest::newRow("segmentation fault") << u"segv"_s << SIGSEGV << u"SIGSEGV"_s << u"crashBySegv"_s;
    QTest::newRow("truncated mapping") << u"bus"_s << SIGBUS << u"SIGBUS"_s << u"crashByBus"_s;
    QTest::newRow("illegal instruction")
        << u"ill"_s << SIGILL << u"SIGILL"_s << u"crashByIllegalInstruction"_s;
    QTest::newRow("division by zero") << u"fpe"_s << SIGFPE << u"SIGFPE"_s << u"crashByDivision"_s;
    QTest::newRow("trap") << u"trap"_s << SIGTRAP << u"SIGTRAP"_s << u"crashByTrap"_s;
    QTest::newRow("abort") << u"abort"_s << SIGABRT << u"SIGABRT"_s << u"crashByAbort"_s;
    QTest::newRow("main-thread stack overflow")
        << u"overflow"_s << SIGSEGV << u"SIGSEGV"_s << u"crashByOverflow"_s;
    QTest::newRow("uncaught exception")
        << u"exception"_s << SIGABRT << u"uncaught std::runtime_error"_s << u"crashByException"_s;
    // Both threads fault at once: one writes, the other waits for the writer to end the process.
    QTest::newRow("two threads at once") << u"two-threads"_s << SIGSEGV << u"SIGSEGV"_s << QString();
}

void PosixCrashHandlersTest::crashLeavesAFileTheNextLaunchReports()
{
    QFETCH(QString, how);
    QFETCH(int, signal);
    QFETCH(QString, message);
    QFETCH(QString, crashingFunction);

    const Run run = crash(how);
    QCOMPARE(run.signal, signal);

    // The signal file, whole: the header, its key lines, the separator, the symbolizer's lines.
    const QStringList lines = run.signalText.split(u'\n');
    QVERIFY2(lines.size() > 7, qPrintable(run.signalText));
    QCOMPARE(lines[0], u"lumivale-crash 1"_s);
    QVERIFY(QRegularExpression(u"^base [0-9a-f]+$"_s).match(lines[1]).hasMatch());
    QCOMPARE(lines[2], u"version 9.9.9"_s);
    QCOMPARE(lines[3], u"signal "_s + QString::number(signal));
    QVERIFY(QRegularExpression(u"^time [0-9]+$"_s).match(lines[4]).hasMatch());
    QCOMPARE(lines[5], u"--"_s);
    QCOMPARE(run.signalText.count(u"lumivale-crash 1\n"_s), 1);
    QVERIFY(run.signalText.endsWith(u'\n'));

    const bool exception = how == u"exception"_s;
    QCOMPARE(!run.exceptionText.isEmpty(), exception);
    const auto crash = parse(exception ? run.exceptionText : run.signalText);
    QVERIFY(crash);
    QCOMPARE(crash->message, message);
    QCOMPARE(crash->version, u"9.9.9"_s);
    QVERIFY(qAbs(crash->occurredAt.secsTo(QDateTime::currentDateTimeUtc())) < 120);
    QVERIFY(QRegularExpression(u"^[0-9a-f]{16}$"_s).match(crash->fingerprint).hasMatch());
    // The handlers' own frames are gone: the first frame of the app is where it crashed.
    if (!crashingFunction.isEmpty())
        QCOMPARE(firstOwnFrame(crash->stack), crashingFunction);
    if (exception) {
        const QString reason = crash->stack.section(u'\n', 1, 1);
        QVERIFY(reason.startsWith(u"reason: aaaa"_s));
        QCOMPARE(reason.size(), qsizetype(u"reason: "_s.size() + 1024));
        QVERIFY(!reason.contains(u'\n'));
    }
}

void PosixCrashHandlersTest::fingerprintsFollowTheCrashSite()
{
    const auto first = parse(crash(u"segv"_s).signalText);
    const auto again = parse(crash(u"segv"_s).signalText);
    const auto elsewhere = parse(crash(u"segv-elsewhere"_s).signalText);
    QVERIFY(first && again && elsewhere);
    QCOMPARE(again->fingerprint, first->fingerprint);
    QVERIFY(elsewhere->fingerprint != first->fingerprint);
}

QTEST_GUILESS_MAIN(PosixCrashHandlersTest)
#include "PosixCrashHandlersTest.moc"
