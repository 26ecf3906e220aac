#include "services/CrashReporter.h"
#include "model/APIClient.h"
#include "model/Account.h"
#include "model/AppLog.h"
#include "model/CrashFile.h"
#include "model/SessionTokenFile.h"
#include "model/User.h"
#include "platform/CrashHandlers.h"
#include "platform/Paths.h"
#include "services/CrashCatcher.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"

#include <QCoroTask>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::CrashReport;
using lumi::CrashReporter;
using lumi::test::SandboxFixture;

namespace {

/// Arming real handlers would take over the test process's own signals; the crashing processes
/// that exercise them are the handlers' own test.
class NoteInstall final : public lumi::CrashHandlers
{
public:
    void install(const QString& folder, const QString&) override { this->folder = folder; }
    QString folder;
};

CrashReport problem(const QString& message)
{
    return CrashReport::problem(u"api"_s, message, u"stack"_s, QDateTime::currentDateTimeUtc());
}

QStringList spool()
{
    return QDir(CrashReporter::spoolFolder()).entryList(QDir::Files, QDir::Name);
}

} // namespace

class CrashReporterTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void installReportsThePreviousCrash();
    void failedUploadKeepsTheRestForALaterPass();
    void fiveAFingerprintPerLocalDay();
    void spoolKeepsTheNewest();
    void recordsCutTheirTexts();
    void recordsNameNeitherHomeNorToken_data();
    void recordsNameNeitherHomeNorToken();

private:
    QList<QJsonObject> postedCrashes();
    void keepUploadsFailing();

    std::unique_ptr<SandboxFixture> m_sandbox;
    std::unique_ptr<lumi::test::ManualClock> m_clock;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<lumi::APIClient> m_api;
    std::unique_ptr<lumi::Account> m_account;
    QString m_token;
};

void CrashReporterTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_clock = std::make_unique<lumi::test::ManualClock>(
        QDateTime(QDate(2026, 12, 10), QTime(23, 58), Qt::LocalTime));
    m_reporter = std::make_unique<CrashReporter>();
    m_api = std::make_unique<lumi::APIClient>(*m_reporter);
    m_token = m_sandbox->signInToken();
    m_api->setToken(m_token);
    m_account = std::make_unique<lumi::Account>();
    m_account->setHasSessionToken(true);
    lumi::User user;
    user.uuid = u"u-1"_s;
    m_account->setUser(user);
    m_sandbox->clearRequests();
}

void CrashReporterTest::cleanup()
{
    m_reporter.reset();
    m_api.reset();
    m_account.reset();
    m_clock.reset();
    m_sandbox.reset();
}

QList<QJsonObject> CrashReporterTest::postedCrashes()
{
    QList<QJsonObject> posted;
    for (const QJsonValue& request : m_sandbox->requests()) {
        if (request[u"path"_s].toString() == u"/api/v6/crashes"_s)
            posted.append(QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object());
    }
    return posted;
}

void CrashReporterTest::keepUploadsFailing()
{
    QVERIFY(m_sandbox->addFault({{u"path"_s, u"/api/v6/crashes"_s}, {u"status"_s, 500}}));
}

void CrashReporterTest::installReportsThePreviousCrash()
{
    lumi::AppLog(u"test"_s).info(u"the line before the crash"_s);
    const QString folder = lumi::Paths::appDataFolder();
    QVERIFY(QDir().mkpath(folder));
    QFile crashFile(lumi::CrashFile::signalFile(folder));
    QVERIFY(crashFile.open(QIODevice::WriteOnly));
    crashFile.write(lumi::CrashFile::header(0x1000, u"0.9.0"_s) + "signal 11\ntime 1700000000\n--\n");
    crashFile.close();

    NoteInstall handlers;
    m_reporter->install(handlers);
    QCOMPARE(handlers.folder, folder);
    QVERIFY(!QFile::exists(crashFile.fileName()));
    QCOMPARE(spool().size(), 1); // waits for the client

    // Up as the app starts, without waiting for the later pass.
    m_reporter->attach(*m_api, *m_account, *m_clock);
    QTRY_COMPARE(postedCrashes().size(), 1);
    const QJsonObject record = postedCrashes().first();
    QCOMPARE(record.keys(),
             (QStringList{u"app"_s, u"arch"_s, u"boot-state"_s, u"breadcrumbs"_s, u"event-id"_s,
                          u"fingerprint"_s, u"install-id"_s, u"message"_s, u"occurred-at"_s, u"osv"_s,
                          u"platform"_s, u"process"_s, u"session-id"_s, u"stack"_s, u"version"_s}));
    for (const QJsonValue& value : record)
        QVERIFY(value.isString());
    QCOMPARE(record[u"process"_s].toString(), u"crash"_s);
    QCOMPARE(record[u"message"_s].toString(), u"SIGSEGV"_s);
    QCOMPARE(record[u"version"_s].toString(), u"0.9.0"_s);
    QCOMPARE(record[u"occurred-at"_s].toString(), u"2023-11-14T22:13:20Z"_s);
    QCOMPARE(record[u"platform"_s].toString(), u"linux"_s);
    QCOMPARE(record[u"app"_s].toString(), u"desktop-linux"_s);
    // Reported before the session was known.
    QCOMPARE(record[u"boot-state"_s].toString(), u"signed-out"_s);
    QVERIFY(record[u"fingerprint"_s].toString().size() == 16);
    QVERIFY(record[u"breadcrumbs"_s].toString().contains(u"the line before the crash"_s));
    QVERIFY(spool().isEmpty());

    const QJsonObject request = m_sandbox->requests().last().toObject();
    QCOMPARE(request[u"headers"_s][u"authorization"_s].toString(), u"Bearer "_s + m_token);
    QVERIFY(!request[u"body"_s].toString().contains(m_token));
}

void CrashReporterTest::failedUploadKeepsTheRestForALaterPass()
{
    m_reporter->attach(*m_api, *m_account, *m_clock);
    keepUploadsFailing();
    for (const QString& message : {u"one"_s, u"two"_s, u"three"_s})
        m_reporter->report(problem(message));
    QTRY_COMPARE(postedCrashes().size(), 1);
    QCoro::waitFor(m_reporter->flush());
    QCOMPARE(spool().size(), 3);

    m_sandbox->clearFaults();
    m_sandbox->clearRequests();
    QCoro::waitFor(m_reporter->flush());
    QCOMPARE(postedCrashes().size(), 3);
    QVERIFY(spool().isEmpty());
}

void CrashReporterTest::fiveAFingerprintPerLocalDay()
{
    m_reporter->attach(*m_api, *m_account, *m_clock);
    keepUploadsFailing();
    for (int i = 0; i < 7; ++i)
        m_reporter->report(problem(u"again"_s));
    m_reporter->report(problem(u"another"_s));
    QCOMPARE(spool().size(), 6);

    m_clock->advance(3min); // past local midnight
    m_reporter->report(problem(u"again"_s));
    QCOMPARE(spool().size(), 7);
}

void CrashReporterTest::spoolKeepsTheNewest()
{
    m_reporter->attach(*m_api, *m_account, *m_clock);
    keepUploadsFailing();
    QVERIFY(QDir().mkpath(CrashReporter::spoolFolder()));
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-1);
    for (int i = 0; i < 60; ++i) {
        QFile file(QDir(CrashReporter::spoolFolder())
                       .filePath(i == 0 ? u"notes.txt"_s : u"old-%1.json"_s.arg(i, 2, 10, QChar(u'0'))));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{}");
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(start.addSecs(i), QFileDevice::FileModificationTime));
    }
    m_reporter->report(problem(u"new"_s));
    const QStringList left = spool();
    QCOMPARE(left.size(), 50);
    QVERIFY(!left.contains(u"notes.txt"_s));
    QVERIFY(!left.contains(u"old-10.json"_s));
    QVERIFY(left.contains(u"old-11.json"_s));
}

void CrashReporterTest::recordsCutTheirTexts()
{
    m_reporter->attach(*m_api, *m_account, *m_clock);
    keepUploadsFailing();
    const QString family = u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s;
    CrashReport report = problem(QString(511, u'm') + family + QString(100, u'x'));
    report.stack = QString(20000, u's');
    report.breadcrumbs = u"old"_s + QString(16384, u'b');
    m_reporter->report(report);
    QFile file(QDir(CrashReporter::spoolFolder()).filePath(spool().first()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject record = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(record[u"message"_s].toString(), QString(511, u'm') + family);
    QCOMPARE(record[u"stack"_s].toString().size(), 16384);
    QCOMPARE(record[u"breadcrumbs"_s].toString(), QString(16384, u'b'));
    QCOMPARE(record[u"boot-state"_s].toString(), u"ready"_s);
}

void CrashReporterTest::recordsNameNeitherHomeNorToken_data()
{
    // <home> and <token> stand for the home folder and the session's token.
    QTest::addColumn<QString>("frame");    // of the previous run's crash file
    QTest::addColumn<QString>("logLine");  // of the previous run's log
    QTest::addColumn<QString>("problem");  // reported by this run, with the same text as message and stack
    QTest::addColumn<QString>("expected"); // in the record, where the text went

    QTest::newRow("a frame of the app in the home")
        << u"<home>/Applications/lumivale(crashHere+0x1c) [0x1a1c]"_s << QString() << QString()
        << u"    at lumivale  crashHere+0x1c"_s;
    QTest::newRow("a log line naming a file in the home")
        << QString() << u"written: <home>/.local/share/Lumivale/Wallpapers/a.jpg"_s << QString()
        << u"written: ~/.local/share/Lumivale/Wallpapers/a.jpg"_s;
    QTest::newRow("the token in the previous run's log")
        << QString() << u"sent Authorization: Bearer <token>"_s << QString() << u"Bearer [token]"_s;
    QTest::newRow("a problem naming a file in the home")
        << QString() << QString() << u"can't compose \"<home>/Photos/a.jpg\""_s
        << u"can't compose \"~/Photos/a.jpg\""_s;
    QTest::newRow("a folder whose name begins like the home")
        << QString() << u"linked: <home>-old/Photos"_s << QString() << u"linked: <home>-old/Photos"_s;
}

void CrashReporterTest::recordsNameNeitherHomeNorToken()
{
    QFETCH(QString, frame);
    QFETCH(QString, logLine);
    QFETCH(QString, problem);
    QFETCH(QString, expected);

    const QString home = QDir::homePath();
    const auto filled = [&](QString text) {
        return text.replace(u"<home>"_s, home).replace(u"<token>"_s, m_token);
    };
    // The previous run: its session on disk, its log, its crash.
    QVERIFY(lumi::SessionTokenFile::save(m_token));
    if (!logLine.isEmpty())
        lumi::AppLog(u"test"_s).info(filled(logLine));
    const QString folder = lumi::Paths::appDataFolder();
    QFile crashFile(lumi::CrashFile::signalFile(folder));
    QVERIFY(crashFile.open(QIODevice::WriteOnly));
    crashFile.write(lumi::CrashFile::header(0x1000, u"0.9.0"_s) + "signal 11\ntime 1700000000\n--\n" +
                    filled(frame).toUtf8() + '\n');
    crashFile.close();

    NoteInstall handlers;
    m_reporter->install(handlers);
    m_reporter->attach(*m_api, *m_account, *m_clock);
    QTRY_COMPARE(postedCrashes().size(), 1);
    if (!problem.isEmpty()) {
        m_reporter->report(CrashReport::problem(u"wallpaper"_s, filled(problem), filled(problem),
                                                QDateTime::currentDateTimeUtc()));
        QTRY_COMPARE(postedCrashes().size(), 2);
    }

    bool found = false;
    for (const QJsonObject& record : postedCrashes()) {
        for (const QJsonValue& value : record) {
            QVERIFY2(!value.toString().contains(home + u'/'), qPrintable(value.toString()));
            QVERIFY2(!value.toString().contains(m_token), qPrintable(value.toString()));
            found = found || value.toString().contains(filled(expected));
        }
    }
    QVERIFY2(found, qPrintable(filled(expected)));
}

QTEST_GUILESS_MAIN(CrashReporterTest)
#include "CrashReporterTest.moc"
