#include "model/SessionTokenFile.h"
#include "platform/Paths.h"
#include "services/CrashReporter.h"
#include "support/PrivateXServerMain.h"
#include "support/SandboxFixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int launchTimeoutMs = 30'000;
// The first upload of crash records waits 15 s after the start.
constexpr int uploadTimeoutMs = 60'000;

QString log()
{
    QFile file(lumi::Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QList<QJsonObject> posts(lumi::test::SandboxFixture& sandbox, const QString& path)
{
    QList<QJsonObject> found;
    for (const QJsonValue& entry : sandbox.requests()) {
        const QJsonObject request = entry.toObject();
        if (request[u"method"_s] == u"POST"_s && request[u"path"_s] == path)
            found.append(request);
    }
    return found;
}

int appOpenedEvents(lumi::test::SandboxFixture& sandbox)
{
    int count = 0;
    for (const QJsonObject& request : posts(sandbox, u"/api/v6/events"_s)) {
        const QJsonObject body = QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8()).object();
        for (const QJsonValue& event : body[u"events"_s].toArray())
            count += event[u"name"_s] == u"app-opened"_s;
    }
    return count;
}

} // namespace

/// The built app, signed in with the demo account, killed by a segmentation fault and started
/// again: the crash goes up at the next start, and the session token goes nowhere but into the
/// requests' Authorization headers.
class CrashRelaunchX11Test final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void crashIsUploadedAtTheNextStart();
    void tokenTravelsOnlyInAuthorizationHeaders();

private:
    void start();

    std::unique_ptr<lumi::test::SandboxFixture> m_sandbox;
    QString m_token;
    QProcess m_app;
};

void CrashRelaunchX11Test::initTestCase()
{
    m_sandbox = std::make_unique<lumi::test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    m_token = m_sandbox->signInToken();
    QVERIFY(!m_token.isEmpty());
    QVERIFY(lumi::SessionTokenFile::save(m_token));
}

void CrashRelaunchX11Test::cleanupTestCase()
{
    if (m_app.state() != QProcess::NotRunning) {
        m_app.kill();
        m_app.waitForFinished();
    }
    m_sandbox.reset();
}

void CrashRelaunchX11Test::start()
{
    m_app.setProcessChannelMode(QProcess::ForwardedChannels);
    m_app.start(QStringLiteral(LUMIVALE_EXE), {});
    QVERIFY(m_app.waitForStarted());
}

void CrashRelaunchX11Test::crashIsUploadedAtTheNextStart()
{
    start();
    QTRY_VERIFY2_WITH_TIMEOUT(log().contains(u"[app] start sequence done"_s), qPrintable(log()),
                              launchTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(appOpenedEvents(*m_sandbox), 1, uploadTimeoutMs);
    QVERIFY(posts(*m_sandbox, u"/api/v6/crashes"_s).isEmpty());

    QCOMPARE(::kill(pid_t(m_app.processId()), SIGSEGV), 0);
    QVERIFY(m_app.waitForFinished(launchTimeoutMs));
    QCOMPARE(m_app.exitStatus(), QProcess::CrashExit);

    start();
    QTRY_COMPARE_WITH_TIMEOUT(posts(*m_sandbox, u"/api/v6/crashes"_s).size(), 1, uploadTimeoutMs);
    const QJsonObject record =
        QJsonDocument::fromJson(
            posts(*m_sandbox, u"/api/v6/crashes"_s).first()[u"body"_s].toString().toUtf8())
            .object();
    QCOMPARE(record[u"message"_s].toString(), u"SIGSEGV"_s);
    QVERIFY2(QRegularExpression(u"^[0-9a-f]{16}$"_s).match(record[u"fingerprint"_s].toString()).hasMatch(),
             qPrintable(record[u"fingerprint"_s].toString()));
    QVERIFY(record[u"stack"_s].toString().contains(u"lumivale"_s));
    // A new run is a new analytics session.
    QTRY_COMPARE_WITH_TIMEOUT(appOpenedEvents(*m_sandbox), 2, uploadTimeoutMs);
    QTRY_VERIFY(QDir(lumi::CrashReporter::spoolFolder()).isEmpty(QDir::Files));

    QCOMPARE(::kill(pid_t(m_app.processId()), SIGTERM), 0);
    QVERIFY(m_app.waitForFinished(launchTimeoutMs));
    QCOMPARE(m_app.exitStatus(), QProcess::NormalExit);
}

void CrashRelaunchX11Test::tokenTravelsOnlyInAuthorizationHeaders()
{
    const QByteArray token = m_token.toUtf8();
    int authorized = 0;
    for (const QJsonValue& entry : m_sandbox->requests()) {
        QJsonObject request = entry.toObject();
        QJsonObject headers = request.take(u"headers"_s).toObject();
        authorized += headers.take(u"authorization"_s).toString() == u"Bearer "_s + m_token;
        const QByteArray rest = QJsonDocument(request).toJson() + QJsonDocument(headers).toJson();
        QVERIFY2(!rest.contains(token), rest.constData());
    }
    QVERIFY(authorized > 0);

    // Nor does it stay anywhere on disk but in its own file: not in the log, the crash spool or
    // the event queue.
    QDirIterator files(m_sandbox->homePath(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (path == lumi::SessionTokenFile::filePath())
            continue;
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QVERIFY2(!file.readAll().contains(token), qPrintable(path));
    }
}

int main(int argc, char** argv)
{
    return lumi::test::runOnPrivateXServer(argc, argv,
                                           [] { return std::make_unique<CrashRelaunchX11Test>(); });
}

#include "CrashRelaunchX11Test.moc"
