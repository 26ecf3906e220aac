#include "model/APIError.h"
#include "model/SessionTokenFile.h"
#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using lumi::APIError;
using lumi::AppModel;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;

namespace {

// How a caller reports: every failure as an alert (a user's action says a lost connection too),
// quietly (offline flag and sign-out only), or not at all.
enum class Reporting { action, loud, quiet, silent };

struct Caller
{
    const char* name;
    QString method;
    QString path;
    Reporting reporting;
    bool authenticated;
};

const QList<Caller> callers{
    {"device record", u"PUT"_s, u"users"_s, Reporting::loud, true},
    {"user refresh", u"GET"_s, u"users"_s, Reporting::loud, true},
    {"categories", u"GET"_s, u"configuration/categories"_s, Reporting::loud, false},
    {"albums", u"GET"_s, u"albums"_s, Reporting::loud, true},
    {"setting", u"PUT"_s, u"users"_s, Reporting::action, true},
    {"playlist creation", u"POST"_s, u"albums"_s, Reporting::action, true},
    {"favorites", u"GET"_s, u"albums/favorites/uuids"_s, Reporting::quiet, true},
    {"token refresh", u"POST"_s, u"tokens/refresh_token"_s, Reporting::quiet, true},
    {"alert acknowledgement", u"POST"_s, u"alerts"_s, Reporting::quiet, true},
    {"places", u"GET"_s, u"places"_s, Reporting::quiet, true},
    {"media page", u"GET"_s, u"media/today"_s, Reporting::quiet, true},
    {"alerts", u"GET"_s, u"alerts"_s, Reporting::silent, true},
};

std::exception_ptr run(ModelHarness& h, const QString& caller)
{
    AppModel& model = h.model();
    if (caller == u"device record"_s)
        return runTask(model.updateDevice());
    if (caller == u"user refresh"_s)
        return runTask(model.refreshUser());
    if (caller == u"categories"_s)
        return runTask(model.loadCategories());
    if (caller == u"albums"_s)
        return runTask(model.reloadAlbums(false));
    if (caller == u"setting"_s)
        return runTask(h.settings().setPaperRandom(false));
    if (caller == u"playlist creation"_s) {
        std::optional<std::optional<lumi::Album>> created;
        return runTask(h.playlists().createPlaylist(u"Road Trip"_s), created);
    }
    if (caller == u"favorites"_s)
        return runTask(model.loadFavoriteUUIDs());
    if (caller == u"token refresh"_s)
        return runTask(model.refreshToken());
    if (caller == u"alert acknowledgement"_s)
        return runTask(model.acknowledgeAlert());
    if (caller == u"places"_s)
        return runTask(h.catalog().loadPlaces(true));
    if (caller == u"media page"_s) {
        std::optional<QList<lumi::Medium>> page;
        return runTask(h.catalog().fetchMediaPage(lumi::MediaQuery{.path = u"today"_s}), page);
    }
    return runTask(model.loadAlerts());
}

} // namespace

class AppModelErrorsTest final : public QObject
{
    Q_OBJECT

private slots:
    void errorSinkPerCaller_data();
    void errorSinkPerCaller();
    void undecodableSettingAnswerBecomesTheAlert();
    void sameAlertTwiceNotifiesOnce();
    void offlineFromAFailedRequestUntilTheNextAnswer();
};

void AppModelErrorsTest::errorSinkPerCaller_data()
{
    QTest::addColumn<QString>("caller");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<std::optional<QString>>("alert");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<bool>("signedOut");
    QTest::addColumn<bool>("thrown");

    const QString serverError = APIError::http(500, u"Injected fault 500."_s).userMessage();
    const QString unauthenticatedRefusal = APIError::http(401, u"Injected fault 401."_s).userMessage();
    for (const Caller& caller : callers) {
        const QJsonObject on{{u"method"_s, caller.method}, {u"path"_s, u"/api/v6/"_s + caller.path}};
        const bool action = caller.reporting == Reporting::action;
        const bool loud = action || caller.reporting == Reporting::loud;
        const bool reported = caller.reporting != Reporting::silent;
        const bool thrown = QString::fromLatin1(caller.name) == u"media page"_s;

        QJsonObject fault = on;
        fault.insert(u"status"_s, 500);
        QTest::addRow("%s, server error", caller.name)
            << QString::fromLatin1(caller.name) << fault << (loud ? std::optional(serverError) : std::nullopt)
            << false << false << thrown;

        fault = on;
        fault.insert(u"drop"_s, true);
        // Whoever asked, a request without an answer shows the app offline; nothing retries an
        // action, so its failure is said.
        QTest::addRow("%s, offline", caller.name)
            << QString::fromLatin1(caller.name) << fault
            << (action ? std::optional(AppModel::offlineActionMessage()) : std::nullopt) << true << false
            << thrown;

        fault = on;
        fault.insert(u"status"_s, 401);
        // Without a token to reject, a 401 is just a refusal.
        QTest::addRow("%s, rejected token", caller.name)
            << QString::fromLatin1(caller.name) << fault
            << (caller.authenticated || !loud ? std::optional<QString>()
                                              : std::optional(unauthenticatedRefusal))
            << false << (reported && caller.authenticated) << thrown;
    }
}

void AppModelErrorsTest::errorSinkPerCaller()
{
    QFETCH(QString, caller);
    QFETCH(QJsonObject, fault);
    QFETCH(std::optional<QString>, alert);
    QFETCH(bool, offline);
    QFETCH(bool, signedOut);
    QFETCH(bool, thrown);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    QVERIFY(model.account().isSignedIn());
    QVERIFY(h.sandbox.addFault(fault));

    const std::exception_ptr failure = run(h, caller);
    QVERIFY(h.settle());

    QVERIFY2(model.alert() == alert, qPrintable(model.alert().value_or(u"(none)"_s)));
    QCOMPARE(model.isOffline(), offline);
    QCOMPARE(model.phase() == AppModel::Phase::signedOut, signedOut);
    QCOMPARE(bool(failure), thrown);
    if (signedOut) {
        QVERIFY(h.appLogLines().contains(u"token rejected; signing out"_s));
        QVERIFY(!lumi::SessionTokenFile::load());
        QCOMPARE(h.journal.calls().last(), u"window.show"_s);
    }
}

void AppModelErrorsTest::undecodableSettingAnswerBecomesTheAlert()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"method"_s, u"PUT"_s},
                                           {u"path"_s, u"/api/v6/users"_s},
                                           {u"status"_s, 200},
                                           {u"body"_s, u"{\"user\": 7}"_s}}));

    QVERIFY(!runTask(h.settings().setPaperRandom(false)));

    QVERIFY(model.alert().has_value());
    QCOMPARE(*model.alert(), APIError::decoding(QString()).userMessage());
    QCOMPARE(model.account().user()->paperRandom, true);
}

void AppModelErrorsTest::sameAlertTwiceNotifiesOnce()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/users"_s}, {u"status"_s, 500}}));
    QSignalSpy alerts(&model, &AppModel::alertChanged);

    QVERIFY(!runTask(model.refreshUser()));
    QVERIFY(!runTask(model.refreshUser()));

    QCOMPARE(alerts.count(), 1);
}

void AppModelErrorsTest::offlineFromAFailedRequestUntilTheNextAnswer()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    QVERIFY(h.sandbox.addFault(
        QJsonObject{{u"path"_s, u"/api/v6/media/today"_s}, {u"drop"_s, true}, {u"times"_s, 2}}));
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/alerts"_s}, {u"status"_s, 500}}));
    QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/places"_s}, {u"delayMs"_s, 5000}}));
    const lumi::APIRequest today{u"GET"_s, u"media/today"_s, {}, std::nullopt, true, {}};
    const lumi::APIRequest alerts{u"GET"_s, u"alerts"_s, {}, std::nullopt, true, {}};
    const lumi::APIRequest places{u"GET"_s, u"places"_s, {}, std::nullopt, true, {}};

    // A request its caller cancelled says nothing about the service.
    QTimer::singleShot(100, [cancel = places.cancel] { cancel.cancel(); });
    QVERIFY(runTask(model.api().send(places)));
    QVERIFY(!model.isOffline());
    // A request no caller reports (a sync listing, say) counts.
    QVERIFY(runTask(model.api().send(today)));
    QVERIFY(model.isOffline());
    // An error status is an answer all the same: the service is there.
    QVERIFY(runTask(model.api().send(alerts)));
    QVERIFY(!model.isOffline());
}

QTEST_MAIN(AppModelErrorsTest)
#include "AppModelErrorsTest.moc"
