#include "services/CrashCatcher.h"
#include "model/CrashFile.h"
#include "model/CrashReport.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::CrashCatcher;
using lumi::CrashFile;
using lumi::CrashReport;

class CrashCatcherTest final : public QObject
{
    Q_OBJECT

private slots:
    void parsesCrashFiles_data();
    void parsesCrashFiles();
    void refusesFilesOffTheLayout_data();
    void refusesFilesOffTheLayout();
    void readsTimeOrTakesNow();
    void pendingCrashPrefersTheExceptionAndDeletesBoth();
};

namespace {

const QStringList app{u"lumivale"_s};

QString signalFile(const QString& base, const QString& signal, const QStringList& frames)
{
    return u"lumivale-crash 1\n"_s + base + u"version 1.2.3\nsignal "_s + signal +
           u"\ntime 1700000000\n--\n"_s + frames.join(u'\n') + u'\n';
}

const QStringList handlerAndCrash{
    u"./lumivale(+0x65872)[0x55a3d1133872]"_s,
    u"/lib/x86_64-linux-gnu/libc.so.6(+0x3c050)[0x7fbab905a050]"_s,
    u"/usr/bin/lumivale(crashHere+0x1c) [0x55a3d1000a1c]"_s,
    u"/lib/x86_64-linux-gnu/libc.so.6(__libc_start_main+0x85) [0x7fbab9045305]"_s,
    u"[0x7fff00001234]"_s,
    u"not a frame"_s,
};

} // namespace

void CrashCatcherTest::parsesCrashFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("stack");
    QTest::addColumn<QStringList>("keys");

    const QStringList ownStack{
        u"    at lumivale +2588  crashHere+0x1c"_s,
        u"    at libc.so.6  __libc_start_main+0x85"_s,
        u"    at   "_s,
    };
    QTest::newRow("handler frames dropped, own frames by offset")
        << signalFile(u"base 55a3d1000000\n"_s, u"11"_s, handlerAndCrash) << u"SIGSEGV"_s << ownStack
        << QStringList{u"crash: SIGSEGV"_s, u"lumivale+2588"_s};
    QTest::newRow("no base: own frames by symbol")
        << signalFile(QString(), u"7"_s, handlerAndCrash) << u"SIGBUS"_s
        << QStringList{u"    at lumivale  crashHere+0x1c"_s, ownStack[1], ownStack[2]}
        << QStringList{u"crash: SIGBUS"_s, u"lumivale crashHere+0x1c"_s};
    QTest::newRow("no own frame: the first four of all")
        << signalFile(u"base 1000\n"_s, u"10"_s,
                      {u"a.so(f)[0x1]"_s, u"b.so(g)[0x2]"_s, u"c.so(h)[0x3]"_s, u"d.so(i)[0x4]"_s,
                       u"e.so(j)[0x5]"_s})
        << u"SIG10"_s
        << QStringList{u"    at a.so  f"_s, u"    at b.so  g"_s, u"    at c.so  h"_s, u"    at d.so  i"_s,
                       u"    at e.so  j"_s}
        << QStringList{u"crash: SIG10"_s, u"a.so f"_s, u"b.so g"_s, u"c.so h"_s, u"d.so i"_s};
    QTest::newRow("objects in the home: by file name")
        << signalFile(u"base 55a3d1000000\n"_s, u"11"_s,
                      {u"/home/ann/Applications/lumivale(crashHere+0x1c) [0x55a3d1000a1c]"_s,
                       u"/home/ann/.local/lib/libextra.so.1(+0x10) [0x7f0000000010]"_s})
        << u"SIGSEGV"_s
        << QStringList{u"    at lumivale +2588  crashHere+0x1c"_s, u"    at libextra.so.1  +0x10"_s}
        << QStringList{u"crash: SIGSEGV"_s, u"lumivale+2588"_s};
    QTest::newRow("no frames") << signalFile(u"base 1000\n"_s, u"+6"_s, {}) << u"SIGABRT"_s << QStringList{}
                               << QStringList{u"crash: SIGABRT"_s};
    QTest::newRow("exception with reason; its frames kept whole")
        << u"lumivale-crash 1\nbase 1000\nversion 1.2.3\nexception std::out_of_range\nreason vector  index\n"
           "time 1700000000\n--\n/lib/x86_64-linux-gnu/libc.so.6(+0x10)[0x7f00]\n"_s
        << u"uncaught std::out_of_range"_s
        << QStringList{u"reason: vector  index"_s, u"    at libc.so.6  +0x10"_s}
        << QStringList{u"crash: uncaught std::out_of_range"_s, u"libc.so.6 +0x10"_s};
}

void CrashCatcherTest::parsesCrashFiles()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QStringList, stack);
    QFETCH(QStringList, keys);

    const auto crash = CrashCatcher::parse(text, app);
    QVERIFY(crash);
    QCOMPARE(crash->message, message);
    QStringList lines = crash->stack.split(u'\n');
    QVERIFY(lines.takeFirst().startsWith(u"os: "_s));
    QCOMPARE(lines, stack);
    QCOMPARE(crash->fingerprint, CrashReport::fingerprintOf(keys));
    QCOMPARE(crash->version, u"1.2.3"_s);
}

void CrashCatcherTest::refusesFilesOffTheLayout_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("a separator among the frames")
        << signalFile(QString(), u"11"_s, {u"a.so(f)[0x1]"_s, u"--"_s});
    QTest::newRow("not a crash file") << u"hello 1\nsignal 11\n--\n"_s;
    QTest::newRow("letter among the digits") << signalFile(QString(), u"1a"_s, {});
    QTest::newRow("beyond 32 bits") << signalFile(QString(), u"4294967307"_s, {});
    QTest::newRow("neither signal nor exception") << u"lumivale-crash 1\ntime 5\n--\n"_s;
}

void CrashCatcherTest::refusesFilesOffTheLayout()
{
    QFETCH(QString, text);
    QVERIFY(!CrashCatcher::parse(text, app));
}

void CrashCatcherTest::readsTimeOrTakesNow()
{
    const QString withFraction = u"lumivale-crash 1\nsignal 11\ntime 1700000000.25\n--\n"_s;
    QCOMPARE(CrashCatcher::parse(withFraction, app)->occurredAt.toMSecsSinceEpoch(), 1700000000250);
    for (const QString& time : {u""_s, u"time  5\n"_s, u"time soon\n"_s}) {
        const auto crash = CrashCatcher::parse(u"lumivale-crash 1\nsignal 11\n"_s + time + u"--\n"_s, app);
        QVERIFY(qAbs(crash->occurredAt.secsTo(QDateTime::currentDateTimeUtc())) < 60);
    }
}

void CrashCatcherTest::pendingCrashPrefersTheExceptionAndDeletesBoth()
{
    lumi::test::TemporaryHome home;
    const QString folder = home.path();
    auto write = [](const QString& path, const QString& text) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    write(CrashFile::signalFile(folder), signalFile(QString(), u"6"_s, {}));
    write(CrashFile::exceptionFile(folder),
          u"lumivale-crash 1\nexception std::bad_alloc\nreason \ntime 1\n--\n"_s);
    const auto crash = CrashCatcher::pendingCrash(folder);
    QVERIFY(crash);
    QCOMPARE(crash->message, u"uncaught std::bad_alloc"_s);
    QVERIFY(!QFile::exists(CrashFile::signalFile(folder)));
    QVERIFY(!QFile::exists(CrashFile::exceptionFile(folder)));

    // An unreadable file is not kept for another try.
    write(CrashFile::signalFile(folder), u"garbage"_s);
    QVERIFY(!CrashCatcher::pendingCrash(folder));
    QVERIFY(!QFile::exists(CrashFile::signalFile(folder)));
}

QTEST_GUILESS_MAIN(CrashCatcherTest)
#include "CrashCatcherTest.moc"
