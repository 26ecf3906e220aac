#include "app/CommandLine.h"

#include <QTest>

using namespace Qt::StringLiterals;
using lumi::CommandLine;

class CommandLineTest final : public QObject
{
    Q_OBJECT

private slots:
    void answersWithoutRunning_data();
    void answersWithoutRunning();
};

void CommandLineTest::answersWithoutRunning_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Request>("request");
    QTest::addColumn<int>("exitStatus");
    QTest::addColumn<bool>("autostart");
    QTest::addColumn<QStringList>("printed"); // texts the printed text holds

    const QString program = u"/usr/bin/lumivale"_s;
    const QStringList usage{u"Usage: lumivale [options]"_s, u"--autostart"_s, u"--version"_s};
    QTest::newRow("nothing") << QStringList{program} << CommandLine::Request::run << 0 << false
                             << QStringList{};
    QTest::newRow("at login") << QStringList{program, u"--autostart"_s} << CommandLine::Request::run << 0
                              << true << QStringList{};
    QTest::newRow("--help") << QStringList{program, u"--help"_s} << CommandLine::Request::help << 0 << false
                            << usage;
    QTest::newRow("-h with --autostart") << QStringList{program, u"--autostart"_s, u"-h"_s}
                                         << CommandLine::Request::help << 0 << true << usage;
    QTest::newRow("--version") << QStringList{program, u"--version"_s} << CommandLine::Request::version << 0
                               << false << QStringList{QStringLiteral("Lumivale Desktop " LUMIVALE_VERSION)};
    QTest::newRow("unknown option") << QStringList{program, u"--autostrat"_s} << CommandLine::Request::misuse
                                    << 2 << false
                                    << (QStringList{u"lumivale: Unknown option 'autostrat'."_s} + usage);
    QTest::newRow("a stray argument")
        << QStringList{program, u"photo.jpg"_s} << CommandLine::Request::misuse << 2 << false
        << (QStringList{u"lumivale: Unexpected argument 'photo.jpg'."_s} + usage);
}

void CommandLineTest::answersWithoutRunning()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Request, request);
    QFETCH(int, exitStatus);
    QFETCH(bool, autostart);
    QFETCH(QStringList, printed);

    const CommandLine line = CommandLine::parse(arguments);
    QCOMPARE(line.request(), request);
    QCOMPARE(line.exitStatus(), exitStatus);
    QCOMPARE(line.autostart(), autostart);
    for (const QString& text : printed)
        QVERIFY2(line.text().contains(text), qPrintable(line.text()));
    if (printed.isEmpty())
        QVERIFY(line.text().isEmpty());
}

// Like the program, which reads its command line before it makes an application object.
QTEST_APPLESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
