#include "model/DefaultsKeys.h"
#include "model/DeviceInfo.h"
#include "model/SessionTokenFile.h"
#include "state/DeviceRecord.h"
#include "support/state/ModelHarness.h"

#include <QCoroTask>
#include <QFile>
#include <QJsonDocument>
#include <QSysInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::AppModel;
using lumi::SessionTokenFile;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;
namespace keys = lumi::keys;

namespace {

const QStringList startRequests{u"POST /tokens/refresh_token"_s, u"PUT /users"_s,
                                // The three loads run together; their order on the wire is not fixed.
                                u"GET /albums/favorites/uuids?per_page=10000"_s,
                                u"GET /albums?page=1&per_page=500"_s, u"GET /configuration/categories"_s,
                                u"GET /alerts"_s};

const QStringList cycleRequests{u"GET /users"_s, u"GET /albums?page=1&per_page=500"_s, u"GET /alerts"_s};

// The three loads after the device record, in a fixed order.
QStringList withLoadsSorted(QStringList lines)
{
    const qsizetype device = lines.indexOf(u"PUT /users"_s);
    if (device >= 0 && lines.size() >= device + 4)
        std::sort(lines.begin() + device + 1, lines.begin() + device + 4);
    return lines;
}

QJsonObject faultOn(const QString& method, const QString& path, int status)
{
    return QJsonObject{{u"method"_s, method}, {u"path"_s, u"/api/v6/"_s + path}, {u"status"_s, status}};
}

} // namespace

class AppModelLaunchTest final : public QObject
{
    Q_OBJECT

private slots:
    void launchPaths_data();
    void launchPaths();
    void startSequenceSendsItsRequestsInOrder();
    void changedPlaylistsReloadTheAlbums_data();
    void changedPlaylistsReloadTheAlbums();
    void failingStepDoesNotStopTheSequence_data();
    void failingStepDoesNotStopTheSequence();
    void unreadUserIsTriedAgainUntilTheServiceAnswers();
    void refusedRestoreIsShownOnceTheRetriesSlowDown_data();
    void refusedRestoreIsShownOnceTheRetriesSlowDown();
    void failedStartLoadIsTriedAgainWithBackOff();
    void signsInToTheDemoAccountAndStartsTheSession();
    void refreshLoopRunsEveryHalfHourAcrossSleep();
    void activationRefreshesAStaleUser();
};

void AppModelLaunchTest::launchPaths_data()
{
    QTest::addColumn<QString>("tokenFile");
    QTest::addColumn<QString>("cachedUser");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<AppModel::Phase>("phase");
    QTest::addColumn<bool>("tokenKept");
    QTest::addColumn<bool>("userKept");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<bool>("onlyThese");
    QTest::addColumn<bool>("windowShown");

    const QJsonObject none;
    const QStringList nothing;
    QTest::newRow("no token") << u"none"_s << u"none"_s << none << AppModel::Phase::signedOut << false
                              << false << nothing << true << true;
    QTest::newRow("blank token file") << u"blank"_s << u"valid"_s << none << AppModel::Phase::signedOut
                                      << false << true << nothing << true << true;
    QTest::newRow("token and cached user")
        << u"valid"_s << u"valid"_s << none << AppModel::Phase::ready << true << true
        << QStringList{u"POST /tokens/refresh_token"_s, u"PUT /users"_s} << false << false;
    QTest::newRow("token, no cached user")
        << u"valid"_s << u"none"_s << none << AppModel::Phase::ready << true << true
        << QStringList{u"GET /users"_s, u"POST /tokens/refresh_token"_s} << false << true;
    QTest::newRow("token, undecodable user")
        << u"valid"_s << u"undecodable"_s << none << AppModel::Phase::ready << true << true
        << QStringList{u"GET /users"_s, u"POST /tokens/refresh_token"_s} << false << true;
    // Only the service's refusal ends the session; the launch waits for the user instead.
    QTest::newRow("token, user unreadable")
        << u"valid"_s << u"none"_s << faultOn(u"GET"_s, u"users"_s, 500) << AppModel::Phase::launching << true
        << false << QStringList{u"GET /users"_s} << true << false;
    QTest::newRow("token, offline") << u"valid"_s << u"none"_s
                                    << QJsonObject{{u"method"_s, u"GET"_s},
                                                   {u"path"_s, u"/api/v6/users"_s},
                                                   {u"drop"_s, true}}
                                    << AppModel::Phase::launching << true << false
                                    << QStringList{u"GET /users"_s} << false << false;
    QTest::newRow("token rejected when reading the user")
        << u"rejected"_s << u"none"_s << none << AppModel::Phase::signedOut << false << false
        << QStringList{u"GET /users"_s} << true << true;
    QTest::newRow("token, cached user without uuid")
        << u"valid"_s << u"noUuid"_s << none << AppModel::Phase::signedOut << true << true << nothing << true
        << true;
    // The session ends at the first step, so nothing of it goes on.
    QTest::newRow("token rejected on refresh")
        << u"rejected"_s << u"valid"_s << none << AppModel::Phase::signedOut << false << false
        << QStringList{u"POST /tokens/refresh_token"_s} << true << true;
}

void AppModelLaunchTest::launchPaths()
{
    QFETCH(QString, tokenFile);
    QFETCH(QString, cachedUser);
    QFETCH(QJsonObject, fault);
    QFETCH(AppModel::Phase, phase);
    QFETCH(bool, tokenKept);
    QFETCH(bool, userKept);
    QFETCH(QStringList, requests);
    QFETCH(bool, onlyThese);
    QFETCH(bool, windowShown);

    ModelHarness h;
    QVERIFY2(h.sandbox.isRunning(), qPrintable(h.sandbox.errorString()));
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, cachedUser == u"valid"_s);
    if (tokenFile == u"none"_s) {
        SessionTokenFile::remove();
    } else if (tokenFile == u"blank"_s) {
        QFile file(SessionTokenFile::filePath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(" \n\t\r\n");
    } else if (tokenFile == u"rejected"_s) {
        QVERIFY(SessionTokenFile::save(u"revoked-token"_s));
    }
    if (cachedUser == u"undecodable"_s)
        h.defaults.setValue(keys::user, QByteArray("{\"uuid\": "));
    else if (cachedUser == u"noUuid"_s)
        h.defaults.setValue(keys::user, QByteArray(R"({"email":"demo@lumivale.test"})"));
    if (!fault.isEmpty())
        QVERIFY(h.sandbox.addFault(fault));

    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());

    QCOMPARE(model.phase(), phase);
    QCOMPARE(SessionTokenFile::load().has_value(), tokenKept);
    QCOMPARE(h.defaults.contains(keys::user), userKept);
    const QStringList lines = h.requestLines();
    QCOMPARE(onlyThese ? lines : lines.mid(0, requests.size()), requests);
    QCOMPARE(h.journal.calls().contains(u"window.show"_s), windowShown);
    if (phase == AppModel::Phase::ready)
        QCOMPARE(model.account().user()->email, SandboxFixture::demoEmail);
}

void AppModelLaunchTest::startSequenceSendsItsRequestsInOrder()
{
    ModelHarness h;
    const QString token = h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());

    QCOMPARE(withLoadsSorted(h.requestLines()), startRequests);
    const QJsonArray requests = h.apiRequests();
    const QString bearer = u"Bearer "_s + *model.sessionToken();
    for (const QJsonValue& request : requests) {
        const bool categories = request[u"path"_s].toString().endsWith(u"/categories"_s);
        const QString authorization = request[u"headers"_s][u"authorization"_s].toString();
        // The refresh goes out with the token of the file, the rest with whatever is current.
        if (categories)
            QCOMPARE(authorization, QString());
        else
            QVERIFY2(authorization == bearer || authorization == u"Bearer "_s + token,
                     qPrintable(authorization));
    }

    const QJsonObject device = QJsonDocument::fromJson(requests.at(1)[u"body"_s].toString().toUtf8())
                                   .object()
                                   .value(u"user"_s)
                                   .toObject();
    const lumi::DeviceInfo::HardwareIdentifiers identifiers = lumi::DeviceInfo::hardwareIdentifiers();
    const QJsonObject expected{
        {u"desktop_version"_s, lumi::DeviceInfo::appVersion()},
        {u"desktop_build"_s, u"linux-native"_s},
        {u"desktop_arch"_s, QSysInfo::currentCpuArchitecture()},
        {u"desktop_os"_s, u"linux"_s},
        {u"desktop_osv"_s, QSysInfo::kernelVersion()},
        {u"desktop_resolution"_s, h.screens.resolution()},
        {u"os_uuid"_s, identifiers.uuid},
        {u"fingerprint"_s, lumi::DeviceInfo::fingerprint(identifiers, h.defaults)},
    };
    QCOMPARE(device, expected);

    // The start of the services follows the loads; the immediate sync replaces the delayed one.
    QCOMPARE(h.journal.calls(),
             (QStringList{u"shortcuts.register"_s, u"events.start"_s, u"shortcuts.register"_s,
                          u"sync.request(20s,normal)"_s, u"sync.request(0s,normal)"_s,
                          u"takeover.postReplacedEvent"_s, u"rotation.start"_s, u"idle.start"_s,
                          u"notifications.start"_s}));
    QCOMPARE(h.clock.sleeperCount(), 1);

    QVERIFY(!model.categories().isEmpty());
    QStringList titles;
    for (const lumi::Album& album : model.account().albums())
        titles.append(album.title);
    QCOMPARE(titles, (QStringList{u"Favorites"_s, u"Editor's Picks"_s, u"Mountain Mornings"_s}));
    QCOMPARE(model.favoriteUUIDs().size(), 12);
    QCOMPARE(model.banner()->uuid, u"linux-welcome"_s);
    QCOMPARE(h.rotation.poolKey(), QString());
}

void AppModelLaunchTest::changedPlaylistsReloadTheAlbums_data()
{
    QTest::addColumn<QJsonValue>("cachedStamp");
    QTest::addColumn<int>("albumLoads");

    // The demo account's playlists were last changed at 2025-01-15T09:30:00.000Z.
    QTest::newRow("same as the server's") << QJsonValue(u"2025-01-15T09:30:00.000Z"_s) << 1;
    QTest::newRow("older") << QJsonValue(u"2024-12-01T00:00:00.000Z"_s) << 2;
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << 2;
}

void AppModelLaunchTest::changedPlaylistsReloadTheAlbums()
{
    QFETCH(QJsonValue, cachedStamp);
    QFETCH(int, albumLoads);
    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    QJsonObject cached = QJsonDocument::fromJson(*h.defaults.bytesValue(keys::user)).object();
    cached.remove(u"playlists_updated_at"_s);
    if (!cachedStamp.isUndefined())
        cached.insert(u"playlists_updated_at"_s, cachedStamp);
    h.defaults.setValue(keys::user, QJsonDocument(cached).toJson(QJsonDocument::Compact));

    h.model().launch();
    QVERIFY(h.settle());

    QCOMPARE(h.requestLines().count(u"GET /albums?page=1&per_page=500"_s), albumLoads);
}

void AppModelLaunchTest::failingStepDoesNotStopTheSequence_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<bool>("alertShown");
    QTest::addColumn<bool>("retried"); // a load the session needs is tried again later

    QTest::newRow("token refresh") << faultOn(u"POST"_s, u"tokens/refresh_token"_s, 500) << false << false;
    QTest::newRow("device record") << faultOn(u"PUT"_s, u"users"_s, 500) << true << false;
    QTest::newRow("categories") << faultOn(u"GET"_s, u"configuration/categories"_s, 500) << true << true;
    QTest::newRow("albums") << faultOn(u"GET"_s, u"albums"_s, 500) << true << true;
    QTest::newRow("favorites") << faultOn(u"GET"_s, u"albums/favorites/uuids"_s, 500) << false << true;
    QTest::newRow("alerts") << faultOn(u"GET"_s, u"alerts"_s, 500) << false << false;
}

void AppModelLaunchTest::failingStepDoesNotStopTheSequence()
{
    QFETCH(QJsonObject, fault);
    QFETCH(bool, alertShown);
    QFETCH(bool, retried);

    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    QVERIFY(h.sandbox.addFault(fault));
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());

    QCOMPARE(withLoadsSorted(h.requestLines()), startRequests);
    QCOMPARE(model.phase(), AppModel::Phase::ready);
    QCOMPARE(model.alert().has_value(), alertShown);
    QVERIFY(!model.isOffline());
    const QStringList calls = h.journal.calls();
    QCOMPARE(calls.mid(calls.size() - 4), (QStringList{u"takeover.postReplacedEvent"_s, u"rotation.start"_s,
                                                       u"idle.start"_s, u"notifications.start"_s}));
    QCOMPARE(h.clock.sleeperCount(), retried ? 2 : 1);
}

void AppModelLaunchTest::unreadUserIsTriedAgainUntilTheServiceAnswers()
{
    ModelHarness h;
    const QString token = h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, false);
    QVERIFY(h.sandbox.addFault(
        QJsonObject{{u"method"_s, u"GET"_s}, {u"path"_s, u"/api/v6/users"_s}, {u"drop"_s, true}}));
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    QVERIFY(model.isOffline());
    QCOMPARE(model.phase(), AppModel::Phase::launching);
    h.sandbox.clearRequests();

    QVERIFY(h.advance(29s));
    QCOMPARE(h.requestLines(), QStringList());
    QVERIFY(h.advance(1s));
    QVERIFY(h.requestLines().contains(u"GET /users"_s));
    QCOMPARE(model.phase(), AppModel::Phase::launching);
    QCOMPARE(SessionTokenFile::load(), std::optional(token));

    // The service is back: the next try, a minute later, brings the session up.
    h.sandbox.clearFaults();
    h.sandbox.clearRequests();

    QVERIFY(h.advance(59s));
    QCOMPARE(h.requestLines(), QStringList());
    QVERIFY(h.advance(1s));
    QCOMPARE(model.phase(), AppModel::Phase::ready);
    QVERIFY(!model.isOffline());
    QCOMPARE(h.requestLines().mid(0, 3),
             (QStringList{u"GET /users"_s, u"POST /tokens/refresh_token"_s, u"PUT /users"_s}));
    QCOMPARE(model.account().user()->email, SandboxFixture::demoEmail);
    QVERIFY(h.journal.calls().contains(u"rotation.start"_s));
    // No retry is left over: only the refresh loop sleeps.
    QCOMPARE(h.clock.sleeperCount(), 1);
}

void AppModelLaunchTest::refusedRestoreIsShownOnceTheRetriesSlowDown_data()
{
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<std::optional<QString>>("alert");

    const QJsonObject users{{u"method"_s, u"GET"_s}, {u"path"_s, u"/api/v6/users"_s}};
    QJsonObject forbidden = users;
    forbidden.insert(u"status"_s, 403);
    forbidden.insert(u"body"_s, u"{\"error\": \"This account is locked.\"}"_s);
    QJsonObject failing = users;
    failing.insert(u"status"_s, 500);
    failing.insert(u"body"_s, u"{}"_s);
    QJsonObject unreadable = users;
    unreadable.insert(u"status"_s, 200);
    unreadable.insert(u"body"_s, u"{\"user\": 5}"_s);
    QJsonObject dropped = users;
    dropped.insert(u"drop"_s, true);

    QTest::newRow("403 with a message") << forbidden << std::optional(u"This account is locked."_s);
    QTest::newRow("500") << failing << std::optional(u"The Lumivale server answered with an error (500)."_s);
    QTest::newRow("undecodable") << unreadable
                                 << std::optional(u"Lumivale sent a response this version can't read."_s);
    // Out of reach is what the offline mark says; it passes by itself.
    QTest::newRow("out of reach") << dropped << std::optional<QString>();
}

void AppModelLaunchTest::refusedRestoreIsShownOnceTheRetriesSlowDown()
{
    QFETCH(QJsonObject, fault);
    QFETCH(std::optional<QString>, alert);

    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, false);
    QVERIFY(h.sandbox.addFault(fault));
    AppModel& model = h.model();
    int alerts = 0;
    connect(&model, &AppModel::alertChanged, this, [&] { alerts += model.alert().has_value(); });
    model.launch();
    QVERIFY(h.settle());
    const auto userRequests = [&h] { return h.requestLines().count(u"GET /users"_s); };
    const int first = userRequests();
    QVERIFY(first >= 1);

    // Quiet while the retries still speed up: the service may come back.
    int tries = 0;
    for (const std::chrono::seconds wait : {30s, 60s, 120s, 240s, 480s, 960s}) {
        QVERIFY(h.advance(wait));
        ++tries;
    }
    QVERIFY(userRequests() >= first + tries);
    QCOMPARE(alerts, 0);
    QVERIFY(!model.alert());

    // At the longest wait it is said, once, and the token is kept for a later try.
    QVERIFY(h.advance(1800s));
    QCOMPARE(model.alert(), alert);
    model.setAlert(std::nullopt);
    QVERIFY(h.advance(1800s));
    QVERIFY(h.advance(1800s));
    QCOMPARE(alerts, alert ? 1 : 0);
    QVERIFY(!model.alert());
    QCOMPARE(model.phase(), AppModel::Phase::launching);
    QVERIFY(SessionTokenFile::load());
}

void AppModelLaunchTest::failedStartLoadIsTriedAgainWithBackOff()
{
    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    QVERIFY(h.sandbox.addFault(faultOn(u"GET"_s, u"configuration/categories"_s, 503)));
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    const auto categoryRequests = [&h] { return h.requestLines().count(u"GET /configuration/categories"_s); };
    QCOMPARE(categoryRequests(), 1);

    // 30 s, then doubling, and never longer than the refresh loop's half hour.
    int expected = 1;
    for (const std::chrono::seconds wait : {30s, 60s, 120s, 240s, 480s, 960s, 1800s, 1800s}) {
        QVERIFY(h.advance(wait - 1s));
        QCOMPARE(categoryRequests(), expected);
        QVERIFY(h.advance(1s));
        QCOMPARE(categoryRequests(), ++expected);
    }
    QVERIFY(model.categories().isEmpty());

    h.sandbox.clearFaults();
    QVERIFY(h.advance(1800s));
    QCOMPARE(categoryRequests(), ++expected);
    QVERIFY(!model.categories().isEmpty());
    QVERIFY(h.advance(7200s));
    QCOMPARE(categoryRequests(), expected);
}

void AppModelLaunchTest::signsInToTheDemoAccountAndStartsTheSession()
{
    ModelHarness h;
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    QCOMPARE(model.phase(), AppModel::Phase::signedOut);
    QCOMPARE(h.journal.calls(), QStringList{u"window.show"_s});
    h.journal.clear();

    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);

    QCOMPARE(model.phase(), AppModel::Phase::ready);
    QVERIFY(model.account().isSignedIn());
    QVERIFY(model.askLoginItem());
    QCOMPARE(SessionTokenFile::load(), model.sessionToken());
    QCOMPARE(h.api.token(), model.sessionToken());
    const QJsonObject cached = QJsonDocument::fromJson(*h.defaults.bytesValue(keys::user)).object();
    QCOMPARE(cached.value(u"email"_s).toString(), SandboxFixture::demoEmail);

    QCOMPARE(withLoadsSorted(h.requestLines()), QStringList{u"POST /tokens"_s} + startRequests);
    // No photo is shown yet, so the first wallpaper is asked for at once.
    QCOMPARE(h.journal.calls().mid(h.journal.calls().size() - 1), (QStringList{u"rotation.change(user)"_s}));
    QCOMPARE(h.clock.sleeperCount(), 1);

    const QStringList log = h.appLogLines();
    QVERIFY2(log.indexOf(u"launch: signed out"_s) < log.indexOf(u"signed in"_s), qPrintable(log.join(u'\n')));
    QVERIFY(log.indexOf(u"signed in"_s) < log.indexOf(u"token refreshed"_s));
    QVERIFY(log.indexOf(u"token refreshed"_s) < log.indexOf(u"start sequence done"_s));

    // The next start of the app comes up from the files the session left.
    h.sandbox.clearRequests();
    AppModel& next = h.relaunch();
    next.launch();
    QVERIFY(h.settle());
    QCOMPARE(next.phase(), AppModel::Phase::ready);
    QCOMPARE(withLoadsSorted(h.requestLines()), startRequests);
    QVERIFY(h.appLogLines().contains(u"launch: session restored"_s));
}

void AppModelLaunchTest::refreshLoopRunsEveryHalfHourAcrossSleep()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    // A second start leaves one loop.
    model.startRefreshLoop();
    QVERIFY(h.settle());
    QCOMPARE(h.clock.sleeperCount(), 1);

    QVERIFY(h.advance(1800s - 1ms));
    QCOMPARE(h.requestLines(), QStringList());
    // Time asleep counts: the cycle is due although the monotonic clock stands still.
    h.clock.suspend(1ms);
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), cycleRequests);

    // The token was refreshed by the start sequence; at exactly a day it is not old enough yet.
    for (int cycle = 2; cycle <= 48; ++cycle) {
        h.sandbox.clearRequests();
        QVERIFY(h.advance(1800s));
        QCOMPARE(h.requestLines(), cycleRequests);
    }
    h.sandbox.clearRequests();
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"method"_s, u"POST"_s},
                                           {u"path"_s, u"/api/v6/tokens/refresh_token"_s},
                                           {u"status"_s, 500},
                                           {u"times"_s, 2}}));
    QVERIFY(h.advance(1800s));
    QCOMPARE(h.requestLines(), QStringList{u"POST /tokens/refresh_token"_s} + cycleRequests);
    // A failed refresh is tried again in the next cycle.
    h.sandbox.clearRequests();
    QVERIFY(h.advance(1800s));
    QCOMPARE(h.requestLines(), QStringList{u"POST /tokens/refresh_token"_s} + cycleRequests);

    // Sign-out while the token is overdue ends the loop at once: no further cycle, no refresh
    // without a session, no sleeper left behind.
    h.sandbox.clearRequests();
    QVERIFY(h.advance(600s));
    h.journal.clear();
    model.signOut();
    QVERIFY(h.advance(3600s));
    QCOMPARE(h.requestLines(), QStringList());
    QCOMPARE(h.journal.count(u"window.show"_s), 1);
    QCOMPARE(h.clock.sleeperCount(), 0);
}

void AppModelLaunchTest::activationRefreshesAStaleUser()
{
    ModelHarness h;
    h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, true);
    AppModel& model = h.model();
    // Before the start sequence has installed the observer, activations are not watched.
    model.applicationActivated();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), QStringList());

    model.launch();
    QVERIFY(h.settle());
    h.sandbox.clearRequests();

    model.applicationActivated();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), QStringList{u"GET /users"_s});

    QVERIFY(h.advance(30s));
    model.applicationActivated();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), QStringList{u"GET /users"_s});

    QVERIFY(h.advance(1ms));
    model.applicationActivated();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), (QStringList{u"GET /users"_s, u"GET /users"_s}));
}

QTEST_MAIN(AppModelLaunchTest)
#include "AppModelLaunchTest.moc"
