#include "model/SessionTokenFile.h"
#include "model/LogStore.h"
#include "platform/Paths.h"
#include "support/TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(std::optional<QByteArray>)
Q_DECLARE_METATYPE(std::optional<QString>)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return info.st_mode & 07777;
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Sets the process umask for the guard's lifetime.
class UmaskGuard final
{
public:
    explicit UmaskGuard(mode_t mask) : m_previous(::umask(mask)) {}
    ~UmaskGuard() { ::umask(m_previous); }
    UmaskGuard(const UmaskGuard&) = delete;
    UmaskGuard& operator=(const UmaskGuard&) = delete;

private:
    mode_t m_previous;
};

bool loggedError(const QString& fragment)
{
    for (const QString& line : LogStore::shared().recent()) {
        if (line.contains(u" E [app] "_s) && line.contains(fragment))
            return true;
    }
    return false;
}

} // namespace

class SessionTokenFileTest final : public QObject
{
    Q_OBJECT

private slots:
    void saveWritesOnlyTheTokenPrivately_data();
    void saveWritesOnlyTheTokenPrivately();
    void saveReportsAFolderItCannotCreate();
    void load_data();
    void load();
    void removeDeletesTheFileAndToleratesNone();
};

void SessionTokenFileTest::saveWritesOnlyTheTokenPrivately_data()
{
    QTest::addColumn<std::optional<QByteArray>>("existing");
    QTest::addColumn<QString>("token");

    QTest::newRow("first save creates the folder") << std::optional<QByteArray>() << u"tok_abc.123"_s;
    QTest::newRow("replaces an older, world-readable token")
        << std::optional<QByteArray>("old-token-that-was-longer") << u"new"_s;
    QTest::newRow("non-ASCII token") << std::optional<QByteArray>() << u"jeton-é-✓"_s;
}

void SessionTokenFileTest::saveWritesOnlyTheTokenPrivately()
{
    QFETCH(std::optional<QByteArray>, existing);
    QFETCH(QString, token);
    test::TemporaryHome home;
    QVERIFY(home.isValid());
    const QString path = SessionTokenFile::filePath();
    QCOMPARE(path, Paths::appDataFolder() + u"/session-token"_s);
    if (existing) {
        writeFile(path, *existing);
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther |
                                                QFile::WriteOther));
    }
    // With no umask a file created with default permissions would be world-readable.
    UmaskGuard noMask(0);

    QVERIFY(SessionTokenFile::save(token));

    QCOMPARE(contentOf(path), token.toUtf8());
    QCOMPARE(modeOf(path), mode_t(0600));
    // The temporary file was renamed into place, not left behind.
    QCOMPARE(QDir(Paths::appDataFolder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"session-token"_s});
    QCOMPARE(SessionTokenFile::load(), std::optional<QString>(token));
}

void SessionTokenFileTest::saveReportsAFolderItCannotCreate()
{
    test::TemporaryHome home;
    QVERIFY(home.isValid());
    // A plain file where the data folder's parent should be: no folder can be made below it.
    writeFile(home.path() + u"/blocked"_s, "not a folder");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + u"/blocked"_s));

    QVERIFY(!SessionTokenFile::save(u"token"_s));

    QVERIFY(!QFile::exists(SessionTokenFile::filePath()));
    QVERIFY(loggedError(u"session token"_s));
    QCOMPARE(SessionTokenFile::load(), std::nullopt);
}

void SessionTokenFileTest::load_data()
{
    QTest::addColumn<std::optional<QByteArray>>("content");
    QTest::addColumn<std::optional<QString>>("expected");

    QTest::newRow("plain") << std::optional<QByteArray>("abc123") << std::optional<QString>(u"abc123"_s);
    QTest::newRow("white space and line ends trimmed")
        << std::optional<QByteArray>(" \t abc123\r\n\n") << std::optional<QString>(u"abc123"_s);
    QTest::newRow("UTF-8") << std::optional<QByteArray>("t\xc3\xa9") << std::optional<QString>(u"té"_s);
    QTest::newRow("no file") << std::optional<QByteArray>() << std::optional<QString>();
    QTest::newRow("empty") << std::optional<QByteArray>("") << std::optional<QString>();
    QTest::newRow("only blanks") << std::optional<QByteArray>(" \n\t") << std::optional<QString>();
    QTest::newRow("invalid byte") << std::optional<QByteArray>("ab\xff"
                                                               "cd")
                                  << std::optional<QString>();
    QTest::newRow("cut off multi-byte character")
        << std::optional<QByteArray>("abc\xc3") << std::optional<QString>();
}

void SessionTokenFileTest::load()
{
    QFETCH(std::optional<QByteArray>, content);
    QFETCH(std::optional<QString>, expected);
    test::TemporaryHome home;
    QVERIFY(home.isValid());
    if (content)
        writeFile(SessionTokenFile::filePath(), *content);
    QCOMPARE(SessionTokenFile::load(), expected);
}

void SessionTokenFileTest::removeDeletesTheFileAndToleratesNone()
{
    test::TemporaryHome home;
    QVERIFY(home.isValid());
    SessionTokenFile::remove();
    QVERIFY(LogStore::shared().recent().isEmpty());

    QVERIFY(SessionTokenFile::save(u"token"_s));
    QVERIFY(QFile::exists(SessionTokenFile::filePath()));
    SessionTokenFile::remove();
    QVERIFY(!QFile::exists(SessionTokenFile::filePath()));
    QCOMPARE(SessionTokenFile::load(), std::nullopt);
    QVERIFY(LogStore::shared().recent().isEmpty());
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::SessionTokenFileTest)
#include "SessionTokenFileTest.moc"
