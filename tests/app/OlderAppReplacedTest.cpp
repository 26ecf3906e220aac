#include "platform/Paths.h"
#include "support/SandboxFixture.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int launchTimeoutMs = 30'000;

} // namespace

/// The built app installed into a temporary home's ~/Applications, where the older app left its
/// "Settings" with a signed-in session: the new app starts signed in, puts the old file aside
/// privately and reports the replacement.
class OlderAppReplacedTest final : public QObject
{
    Q_OBJECT

private slots:
    void startsSignedInWithTheOlderAppsSession();

private:
    static QString log();
};

QString OlderAppReplacedTest::log()
{
    QFile file(lumi::Paths::appDataFolder() + u"/Logs/lumivale.log"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void OlderAppReplacedTest::startsSignedInWithTheOlderAppsSession()
{
    lumi::test::SandboxFixture sandbox;
    QVERIFY2(sandbox.isRunning(), qPrintable(sandbox.errorString()));
    const QString token = sandbox.signInToken();
    QVERIFY(!token.isEmpty());
    const QString folder = lumi::Paths::electronFolder();
    QVERIFY(QDir().mkpath(folder));
    QFile settings(folder + u"/Settings"_s);
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(QJsonDocument(QJsonObject{{u"token"_s, token}}).toJson());
    settings.close();

    const QString installed = sandbox.homePath() + u"/Applications/lumivale"_s;
    QVERIFY(QDir().mkpath(sandbox.homePath() + u"/Applications"_s));
    QVERIFY(QFile::copy(QStringLiteral(LUMIVALE_EXE), installed));
    sandbox.clearRequests();
    QProcess app;
    app.setProcessChannelMode(QProcess::ForwardedChannels);
    app.start(installed, {});
    QVERIFY(app.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(log().contains(u"[app] start sequence done"_s), launchTimeoutMs);
    QVERIFY2(log().contains(u"[takeover] carried over: token; 0 leftovers to the Trash"_s),
             qPrintable(log()));
    QVERIFY(!log().contains(u"launch: signed out"_s));
    QCOMPARE(QFile::permissions(folder + u"/Settings.electron"_s),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(!QFile::exists(folder + u"/Settings"_s));

    const auto replacedPosted = [&] {
        const QJsonArray requests = sandbox.requests();
        return std::any_of(requests.begin(), requests.end(), [](const QJsonValue& request) {
            const QJsonArray events =
                QJsonDocument::fromJson(request[u"body"_s].toString().toUtf8())[u"events"_s].toArray();
            return request[u"method"_s] == u"POST"_s && request[u"path"_s] == u"/api/v6/events"_s &&
                   std::any_of(events.begin(), events.end(), [](const QJsonValue& event) {
                       return event.toString().contains(u"desktop-replaced"_s) ||
                              QJsonDocument(event.toObject()).toJson().contains("desktop-replaced");
                   });
        });
    };
    QTRY_VERIFY_WITH_TIMEOUT(replacedPosted(), launchTimeoutMs);

    app.terminate();
    QVERIFY(app.waitForFinished(launchTimeoutMs));
}

QTEST_GUILESS_MAIN(OlderAppReplacedTest)
#include "OlderAppReplacedTest.moc"
