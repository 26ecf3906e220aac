#include "model/LogStore.h"
#include "model/AppLog.h"
#include "platform/Paths.h"
#include "support/TemporaryHome.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

Q_DECLARE_METATYPE(std::optional<QByteArray>)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray filler(qsizetype size, char fill)
{
    return QByteArray(size, fill);
}

} // namespace

class LogStoreTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lineFormat_data();
    void lineFormat();
    void appLogWritesThroughTheSharedStore();
    void recentKeepsTheNewest200();
    void rotatesOnlyAboveOneMebibyte_data();
    void rotatesOnlyAboveOneMebibyte();
    void tail_data();
    void tail();

private:
    QString logsFolder() const { return m_home->path() + u"/logs"_s; }

    std::unique_ptr<test::TemporaryHome> m_home;
};

void LogStoreTest::init()
{
    m_home = std::make_unique<test::TemporaryHome>();
    QVERIFY(m_home->isValid());
}

void LogStoreTest::cleanup()
{
    m_home.reset();
}

void LogStoreTest::lineFormat_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("message");

    QTest::newRow("info") << QChar(u'I') << u"sync"_s << u"pass done: 12 photos"_s;
    QTest::newRow("error with non-ASCII") << QChar(u'E') << u"wallpaper"_s << u"can't set «Fjord» ✗"_s;
    // Nothing is escaped: the second line of the file carries no stamp.
    QTest::newRow("message with a line feed") << QChar(u'I') << u"api"_s << u"first\nsecond"_s;
}

void LogStoreTest::lineFormat()
{
    QFETCH(QChar, letter);
    QFETCH(QString, category);
    QFETCH(QString, message);
    LogStore store(logsFolder());

    const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
    store.append(letter, category, message);
    const QDateTime after = QDateTime::currentDateTimeUtc().addMSecs(1);

    const QStringList recent = store.recent();
    QCOMPARE(recent.size(), 1);
    const QString line = recent.first();
    static const QRegularExpression stampPattern(u"^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z$"_s);
    const QString stamp = line.left(24);
    QVERIFY2(stampPattern.match(stamp).hasMatch(), qPrintable(line));
    const QDateTime when = QDateTime::fromString(stamp, Qt::ISODateWithMs);
    QCOMPARE(when.timeSpec(), Qt::UTC);
    QVERIFY(when >= before && when <= after);
    QCOMPARE(line.mid(24), u' ' + letter + u" ["_s + category + u"] "_s + message);

    QCOMPARE(store.filePath(), logsFolder() + u"/lumivale.log"_s);
    QCOMPARE(contentOf(store.filePath()), (line + u'\n').toUtf8());
}

void LogStoreTest::appLogWritesThroughTheSharedStore()
{
    AppLog log(u"tests"_s);
    log.info(u"hello"_s);
    log.error(u"broken"_s);

    const QStringList recent = LogStore::shared().recent();
    QCOMPARE(recent.size(), 2);
    QVERIFY(recent.at(0).endsWith(u" I [tests] hello"_s));
    QVERIFY(recent.at(1).endsWith(u" E [tests] broken"_s));
    QCOMPARE(LogStore::shared().filePath(), Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    QCOMPARE(contentOf(LogStore::shared().filePath()), (recent.join(u'\n') + u'\n').toUtf8());
}

void LogStoreTest::recentKeepsTheNewest200()
{
    LogStore store(logsFolder());
    for (int i = 1; i <= 201; ++i)
        store.append(u'I', u"tests"_s, u"line "_s + QString::number(i));

    const QStringList recent = store.recent();
    QCOMPARE(recent.size(), 200);
    QVERIFY(recent.first().endsWith(u"] line 2"_s));
    QVERIFY(recent.last().endsWith(u"] line 201"_s));
    // The file keeps every line.
    QCOMPARE(contentOf(store.filePath()).count('\n'), 201);
}

void LogStoreTest::rotatesOnlyAboveOneMebibyte_data()
{
    QTest::addColumn<qsizetype>("existingSize");
    QTest::addColumn<bool>("rotates");

    QTest::newRow("small file") << qsizetype(10) << false;
    QTest::newRow("exactly 1 MiB") << qsizetype(1048576) << false;
    QTest::newRow("one byte more") << qsizetype(1048577) << true;
}

void LogStoreTest::rotatesOnlyAboveOneMebibyte()
{
    QFETCH(qsizetype, existingSize);
    QFETCH(bool, rotates);
    LogStore store(logsFolder());
    const QByteArray existing = filler(existingSize, 'a');
    writeFile(store.filePath(), existing);
    // Only one previous file is kept: an older one is replaced.
    writeFile(store.previousPath(), "older previous\n");

    store.writeLine(u"next line\n"_s);

    QCOMPARE(store.previousPath(), logsFolder() + u"/lumivale.log.1"_s);
    if (rotates) {
        QCOMPARE(contentOf(store.previousPath()), existing);
        QCOMPARE(contentOf(store.filePath()), QByteArray("next line\n"));
    } else {
        QCOMPARE(contentOf(store.previousPath()), QByteArray("older previous\n"));
        QCOMPARE(contentOf(store.filePath()), existing + "next line\n");
    }
}

void LogStoreTest::tail_data()
{
    QTest::addColumn<std::optional<QByteArray>>("previous");
    QTest::addColumn<std::optional<QByteArray>>("current");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QString>("expected");

    using Bytes = std::optional<QByteArray>;
    const QByteArray mebibyte = filler(1048576 - 4, 'p') + "END\n";
    const QByteArray hundred = filler(99, 'c') + "\n";
    QTest::newRow("both files") << Bytes(mebibyte) << Bytes(hundred) << qint64(16384)
                                << QString::fromLatin1(mebibyte.right(16284) + hundred);
    QTest::newRow("current alone is enough")
        << Bytes(mebibyte) << Bytes(hundred) << qint64(40) << QString::fromLatin1(hundred.right(40));
    QTest::newRow("current exactly the limit")
        << Bytes("previous\n") << Bytes(hundred) << qint64(100) << QString::fromLatin1(hundred);
    QTest::newRow("no previous file") << Bytes() << Bytes("only\n") << qint64(100) << u"only\n"_s;
    QTest::newRow("no current file") << Bytes("old\n") << Bytes() << qint64(100) << u"old\n"_s;
    QTest::newRow("no files") << Bytes() << Bytes() << qint64(100) << QString();
    // "é" is two bytes; the cut keeps only its second one.
    QTest::newRow("cut inside a character")
        << Bytes("caf\xc3\xa9 ok\n") << Bytes() << qint64(5) << u"\ufffd ok\n"_s;
    QTest::newRow("character across the two files")
        << Bytes("x\xe2\x9c") << Bytes("\x93\n") << qint64(5) << u"x✓\n"_s;
}

void LogStoreTest::tail()
{
    QFETCH(std::optional<QByteArray>, previous);
    QFETCH(std::optional<QByteArray>, current);
    QFETCH(qint64, maxBytes);
    QFETCH(QString, expected);
    LogStore store(logsFolder());
    if (previous)
        writeFile(store.previousPath(), *previous);
    if (current)
        writeFile(store.filePath(), *current);

    QCOMPARE(store.tail(maxBytes), expected);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::LogStoreTest)
#include "LogStoreTest.moc"
