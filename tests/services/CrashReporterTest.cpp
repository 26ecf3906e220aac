#include "model/APIClient.h"
#include "model/Account.h"
#include "model/AppLog.h"
#include "model/User.h"
#include "platform/CrashHandlers.h"
#include "platform/Paths.h"
#include "services/CrashCatcher.h"
#include "services/CrashReporter.h"
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
    m_clock = std::make_unique<lumi::test::ManualClock>(QDateTime(QDate(2026, 12, 10), QTime(23, 58), Qt::LocalTime));
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
    QFile crashFile(lumi::CrashCatcher::signalFile(folder));
    QVERIFY(crashFile.open(QIODevice::WriteOnly));
    crashFile.write(lumi::CrashCatcher::header(0x1000, u"0.9.0"_s) + "signal 11\ntime 1700000000\n--\n");
    crashFile.close();

    NoteInstall handlers;
    m_reporter->install(handlers);
    QCOMPARE(handlers.folder, folder);
    QVERIFY(!QFile::exists(crashFile.fileName()));
    QCOMPARE(spool().size(), 1); // waits for the client

    m_reporter->attach(*m_api, *m_account, *m_clock);
    QCoro::waitFor(m_reporter->flush());
    const QList<QJsonObject> posted = postedCrashes();
    QCOMPARE(posted.size(), 1);
    const QJsonObject record = posted.first();
    QCOMPARE(record.keys(),
             (QStringList{u"app"_s, u"arch"_s, u"boot-state"_s, u"breadcrumbs"_s, u"event-id"_s, u"fingerprint"_s,
                          u"install-id"_s, u"message"_s, u"occurred-at"_s, u"osv"_s, u"platform"_s, u"process"_s,
                          u"session-id"_s, u"stack"_s, u"version"_s}));
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
        QFile file(QDir(CrashReporter::spoolFolder()).filePath(i == 0 ? u"notes.txt"_s : u"old-%1.json"_s.arg(i, 2, 10, QChar(u'0'))));
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

QTEST_GUILESS_MAIN(CrashReporterTest)
#include "CrashReporterTest.moc"
