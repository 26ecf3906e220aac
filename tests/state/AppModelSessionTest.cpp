#include "model/APIError.h"
#include "model/DefaultsKeys.h"
#include "model/SessionTokenFile.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::APIError;
using lumi::AppModel;
using lumi::SessionTokenFile;
using lumi::test::apiErrorOf;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;
namespace keys = lumi::keys;

namespace {

QJsonObject slow(const QString& method, const QString& path, int status = 0)
{
    QJsonObject fault{
        {u"method"_s, method}, {u"path"_s, u"/api/v6/"_s + path}, {u"delayMs"_s, 2000}, {u"times"_s, 1}};
    if (status)
        fault.insert(u"status"_s, status);
    return fault;
}

} // namespace

class AppModelSessionTest final : public QObject
{
    Q_OBJECT

private slots:
    void signInTrimsBlanksAndTabsOnly_data();
    void signInTrimsBlanksAndTabsOnly();
    void signInSetsTheFirstWallpaperAndAsksAboutTheLoginItem_data();
    void signInSetsTheFirstWallpaperAndAsksAboutTheLoginItem();
    void signOutRunsEveryStepInOrder();
    void answersOfAnEndedSessionLeaveNoTrace();
    void deleteAccount_data();
    void deleteAccount();
    void changePasswordSignsInAgain();
};

void AppModelSessionTest::signInTrimsBlanksAndTabsOnly_data()
{
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("sentEmail");
    QTest::addColumn<bool>("signedIn");

    const QString demo = SandboxFixture::demoEmail;
    QTest::newRow("blanks and tabs around")
        << u" \t"_s + demo + u"\u00a0 "_s << SandboxFixture::demoPassword << demo << true;
    QTest::newRow("line break kept") << demo + u"\n"_s << SandboxFixture::demoPassword << demo + u"\n"_s
                                     << false;
    QTest::newRow("password as typed") << demo << u" "_s + SandboxFixture::demoPassword << demo << false;
}

void AppModelSessionTest::signInTrimsBlanksAndTabsOnly()
{
    QFETCH(QString, email);
    QFETCH(QString, password);
    QFETCH(QString, sentEmail);
    QFETCH(bool, signedIn);

    ModelHarness h;
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());

    const std::optional<APIError> error = apiErrorOf(runTask(model.signIn(email, password)));
    QVERIFY(h.settle());

    const QJsonObject body =
        QJsonDocument::fromJson(h.apiRequests().first()[u"body"_s].toString().toUtf8()).object();
    QCOMPARE(body.value(u"email"_s).toString(), sentEmail);
    QCOMPARE(body.value(u"password"_s).toString(), password);
    QCOMPARE(model.account().isSignedIn(), signedIn);
    QCOMPARE(error.has_value(), !signedIn);
    if (!signedIn) {
        // Thrown to the view, nothing else: no alert, no token, still signed out.
        QCOMPARE(error->kind(), APIError::Kind::Http);
        QCOMPARE(model.phase(), AppModel::Phase::signedOut);
        QCOMPARE(model.sessionToken(), std::nullopt);
        QCOMPARE(SessionTokenFile::load(), std::nullopt);
        QCOMPARE(model.alert(), std::nullopt);
        QCOMPARE(h.requestLines(), QStringList{u"POST /tokens"_s});
    }
}

void AppModelSessionTest::signInSetsTheFirstWallpaperAndAsksAboutTheLoginItem_data()
{
    QTest::addColumn<bool>("photoShown");
    QTest::addColumn<bool>("promptAnswered");

    QTest::newRow("first sign-in on this computer") << false << false;
    QTest::newRow("photo shown, prompt answered") << true << true;
}

void AppModelSessionTest::signInSetsTheFirstWallpaperAndAsksAboutTheLoginItem()
{
    QFETCH(bool, photoShown);
    QFETCH(bool, promptAnswered);
    ModelHarness h;
    if (photoShown)
        h.rotation.showing = lumi::Medium{.uuid = u"shown"_s};
    if (promptAnswered)
        h.defaults.setValue(keys::askedLoginItem, true);

    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);

    QCOMPARE(h.model().askLoginItem(), !promptAnswered);
    QCOMPARE(h.journal.count(u"rotation.change(user)"_s), photoShown ? 0 : 1);
}

void AppModelSessionTest::signOutRunsEveryStepInOrder()
{
    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    AppModel& model = h.model();
    QVERIFY(!model.account().albums().isEmpty());
    QVERIFY(model.account().albumsLoaded());
    QVERIFY(model.banner().has_value());
    const QList<lumi::Category> categories = model.categories();
    h.player.showing = true;
    lumi::Guidance& guidance = h.guidance();
    // A tour the alert started, which the user ending it would hand in.
    guidance.startTour(true);
    QVERIFY(h.advance(lumi::Guidance::tourOpeningDelay));
    QCOMPARE(guidance.tourStep(), std::optional<int>(0));
    guidance.setSurveyRequested(true);
    guidance.setOnboardingRequested(true);
    h.saver().setSaverPool(lumi::SaverLauncher::SaverPool{u"key"_s, {}, {}});
    h.defaults.setValue(keys::askedLoginItem, true);

    const QStringList steps{u"rotation.stop"_s,     u"rotation.reset"_s,     u"sync.cancel"_s,
                            u"idle.stop"_s,         u"notifications.stop"_s, u"shortcuts.unregisterAll"_s,
                            u"events.newSession"_s, u"player.stop"_s,        u"window.show"_s};
    for (int round = 1; round <= 2; ++round) {
        h.journal.clear();
        model.signOut();
        QVERIFY(h.settle());
        QCOMPARE(h.journal.calls(), steps);
        QCOMPARE(model.phase(), AppModel::Phase::signedOut);
        QCOMPARE(model.sessionToken(), std::nullopt);
        QCOMPARE(h.api.token(), std::nullopt);
        QCOMPARE(model.account().user(), std::nullopt);
        QVERIFY(model.account().albums().isEmpty());
        // The sync must not take the emptied list for the user's playlists.
        QVERIFY(!model.account().albumsLoaded());
        QVERIFY(model.favoriteUUIDs().isEmpty());
        QCOMPARE(model.banner(), std::nullopt);
        QCOMPARE(guidance.tourStep(), std::nullopt);
        QVERIFY(!guidance.surveyRequested());
        QVERIFY(!guidance.onboardingRequested());
        QCOMPARE(h.saver().saverPool().has_value(), false);
        QVERIFY(!SessionTokenFile::load());
        QVERIFY(!h.defaults.contains(keys::user));
    }
    // What belongs to the computer rather than the account stays.
    QCOMPARE(model.categories(), categories);
    QCOMPARE(h.defaults.boolValue(keys::askedLoginItem), true);
    // The tour ended by sign-out sends no acknowledgement.
    QVERIFY(!h.requestLines().contains(u"POST /alerts"_s));
}

void AppModelSessionTest::answersOfAnEndedSessionLeaveNoTrace()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const std::optional<QString> demoToken = model.sessionToken();

    // Slow answers for the demo session, a rejected token among them.
    for (const QJsonObject& fault :
         {slow(u"POST"_s, u"tokens/refresh_token"_s), slow(u"GET"_s, u"users"_s), slow(u"GET"_s, u"albums"_s),
          slow(u"GET"_s, u"albums/favorites/uuids"_s), slow(u"POST"_s, u"alerts"_s, 401)})
        QVERIFY(h.sandbox.addFault(fault));
    QCoro::Task<void> refresh = model.refreshToken();
    QCoro::Task<void> user = model.refreshUser();
    QCoro::Task<void> albums = model.reloadAlbums(true);
    QCoro::Task<void> favorites = model.loadFavoriteUUIDs();
    QCoro::Task<void> acknowledgement = model.acknowledgeAlert();
    QTRY_COMPARE(h.apiRequests().size(), 5);

    model.signOut();
    h.journal.clear();
    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    for (QCoro::Task<void>* task : {&refresh, &user, &albums, &favorites, &acknowledgement})
        QVERIFY(!runTask(std::move(*task)));
    QVERIFY(h.settle());

    QCOMPARE(model.phase(), AppModel::Phase::ready);
    QCOMPARE(model.account().user()->email, SandboxFixture::secondEmail);
    QVERIFY(model.account().albums().isEmpty());
    QVERIFY(model.favoriteUUIDs().isEmpty());
    QCOMPARE(model.alert(), std::nullopt);
    const std::optional<QString> token = SessionTokenFile::load();
    QVERIFY(token && *token != demoToken);
    QCOMPARE(model.sessionToken(), token);
    QCOMPARE(h.api.token(), token);
    const QJsonObject cached = QJsonDocument::fromJson(*h.defaults.bytesValue(keys::user)).object();
    QCOMPARE(cached.value(u"email"_s).toString(), SandboxFixture::secondEmail);
    // Only the new session's own album load asked for a sync.
    QCOMPARE(h.journal.count(u"sync.request(20s,normal)"_s), 1);
    QCOMPARE(h.journal.count(u"sync.request(20s,force)"_s), 0);
    QVERIFY(!h.journal.calls().contains(u"window.show"_s));
}

void AppModelSessionTest::deleteAccount_data()
{
    QTest::addColumn<bool>("refused");
    QTest::newRow("refused") << true;
    QTest::newRow("deleted") << false;
}

void AppModelSessionTest::deleteAccount()
{
    QFETCH(bool, refused);
    ModelHarness h;
    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    if (refused)
        QVERIFY(h.sandbox.addFault(
            QJsonObject{{u"method"_s, u"DELETE"_s}, {u"path"_s, u"/api/v6/users"_s}, {u"status"_s, 500}}));
    AppModel& model = h.model();

    std::optional<QString> status;
    const std::optional<APIError> error = apiErrorOf(runTask(model.deleteAccount(), status));

    QCOMPARE(error.has_value(), refused);
    QCOMPARE(model.account().isSignedIn(), refused);
    QCOMPARE(model.alert(), std::nullopt);
    if (!refused) {
        QCOMPARE(status, u"Your account has been deleted."_s);
        QCOMPARE(model.phase(), AppModel::Phase::signedOut);
        QVERIFY(!SessionTokenFile::load());
    }
}

void AppModelSessionTest::changePasswordSignsInAgain()
{
    ModelHarness h;
    AppModel& model = h.model();
    // Without a user there is nothing to change and nothing to report.
    QVERIFY(!runTask(model.changePassword(u"new-secret"_s)));
    QCOMPARE(h.requestLines(), QStringList());

    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    const std::optional<QString> before = model.sessionToken();
    h.sandbox.clearRequests();

    QVERIFY(!runTask(model.changePassword(u"new-secret"_s)));

    QCOMPARE(h.requestLines(), (QStringList{u"PUT /passwords/change"_s, u"POST /tokens"_s}));
    QVERIFY(model.sessionToken() != before);
    QCOMPARE(SessionTokenFile::load(), model.sessionToken());
    QVERIFY(!h.sandbox.signInToken(SandboxFixture::secondEmail, u"new-secret"_s).isEmpty());
}

QTEST_MAIN(AppModelSessionTest)
#include "AppModelSessionTest.moc"
