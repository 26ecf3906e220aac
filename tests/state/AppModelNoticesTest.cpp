#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::AppModel;
using lumi::Medium;
using lumi::User;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;

namespace {

const QString genericShareFailure =
    u"Couldn't send the photo. Check the address and your internet connection, then try again."_s;

} // namespace

class AppModelNoticesTest final : public QObject
{
    Q_OBJECT

private slots:
    void emailPhoto_data();
    void emailPhoto();
    void scheduleSurvey_data();
    void scheduleSurvey();
    void submitSurvey_data();
    void submitSurvey();
};

void AppModelNoticesTest::emailPhoto_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("shown"); // empty: success
    QTest::addColumn<bool>("signedOut");

    const QString address = u"friend@example.test"_s;
    const auto failing = [](int status, const QString& body) {
        QJsonObject fault{{u"path"_s, u"/api/v6/shares"_s}, {u"status"_s, status}};
        if (!body.isNull())
            fault.insert(u"body"_s, body);
        return fault;
    };
    QTest::newRow("blanks and tabs trimmed")
        << u" \tfriend@example.test \t"_s << QJsonObject() << address << QString() << false;
    QTest::newRow("line break kept") << u"friend@example.test\n"_s << QJsonObject()
                                     << u"friend@example.test\n"_s << QString() << false;
    QTest::newRow("422 with a message: shown as it came")
        << address << failing(422, uR"({"error": "That address can't receive mail."})"_s) << address
        << u"That address can't receive mail."_s << false;
    QTest::newRow("404 with a message") << address << failing(404, uR"({"message": "No such photo."})"_s)
                                        << address << u"No such photo."_s << false;
    QTest::newRow("422 without a message")
        << address << failing(422, u"{}"_s) << address << genericShareFailure << false;
    QTest::newRow("500 with a message") << address << failing(500, uR"({"error": "Mail is down."})"_s)
                                        << address << genericShareFailure << false;
    QTest::newRow("401 signs out") << address << failing(401, QString()) << address << genericShareFailure
                                   << true;
    QTest::newRow("no connection") << address
                                   << QJsonObject{{u"path"_s, u"/api/v6/shares"_s}, {u"drop"_s, true}}
                                   << address << genericShareFailure << false;
}

void AppModelNoticesTest::emailPhoto()
{
    QFETCH(QString, address);
    QFETCH(QJsonObject, fault);
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    QFETCH(bool, signedOut);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Medium photo = h.catalogPhotos(1).value(0);
    if (!fault.isEmpty())
        QVERIFY(h.sandbox.addFault(fault));

    std::optional<std::optional<QString>> result;
    QVERIFY(!runTask(model.emailPhoto(photo, address, u"Look at this!\n"_s), result));
    QVERIFY(h.settle());

    QCOMPARE(*result, shown.isEmpty() ? std::nullopt : std::optional<QString>(shown));
    const QJsonArray requests = h.apiRequests();
    QCOMPARE(requests.first()[u"path"_s].toString(), u"/api/v6/shares"_s);
    QCOMPARE(
        ModelHarness::bodyOf(requests.first()),
        (QJsonObject{{u"muuid"_s, photo.uuid}, {u"email"_s, sent}, {u"comment"_s, u"Look at this!\n"_s}}));
    QCOMPARE(model.phase() == AppModel::Phase::signedOut, signedOut);
    // The sheet shows the outcome, never an alert; the menu shows offline only when no answer came.
    QCOMPARE(model.alert(), std::nullopt);
    QCOMPARE(model.isOffline(), fault.value(u"drop"_s).toBool());
}

void AppModelNoticesTest::scheduleSurvey_data()
{
    QTest::addColumn<QString>("nextSurveyAt"); // "keep" the account's, "absent", or the text
    QTest::addColumn<bool>("tourShown");
    QTest::addColumn<bool>("updateFails");
    QTest::addColumn<bool>("windowStaysVisible");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<bool>("offered");

    const QString asStored = u"keep"_s;
    const QStringList updateAndRefresh{u"POST /users/update_survey"_s, u"GET /users"_s};
    QTest::newRow("due") << asStored << false << false << true << updateAndRefresh << true;
    QTest::newRow("update refused: offered all the same")
        << asStored << false << true << true << QStringList{u"POST /users/update_survey"_s} << true;
    QTest::newRow("window hidden after the update")
        << asStored << false << false << false << updateAndRefresh << false;
    QTest::newRow("tour on screen") << asStored << true << false << true << QStringList() << false;
    QTest::newRow("no date") << u"absent"_s << false << false << true << QStringList() << false;
    QTest::newRow("empty date") << u""_s << false << false << true << QStringList() << false;
    QTest::newRow("not a date") << u"soon"_s << false << false << true << QStringList() << false;
    QTest::newRow("in the future") << u"2030-01-01T00:00:00.000Z"_s << false << false << true << QStringList()
                                   << false;
}

void AppModelNoticesTest::scheduleSurvey()
{
    QFETCH(QString, nextSurveyAt);
    QFETCH(bool, tourShown);
    QFETCH(bool, updateFails);
    QFETCH(bool, windowStaysVisible);
    QFETCH(QStringList, requests);
    QFETCH(bool, offered);

    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    if (nextSurveyAt != u"keep") {
        User user = *model.account().user();
        user.nextSurveyAt = nextSurveyAt == u"absent" ? std::nullopt : std::optional<QString>(nextSurveyAt);
        model.setUser(user);
    }
    if (tourShown)
        model.setTourStep(1);
    if (updateFails)
        QVERIFY(h.sandbox.addFault(
            QJsonObject{{u"path"_s, u"/api/v6/users/update_survey"_s}, {u"status"_s, 500}}));
    h.window.visible = true;

    model.scheduleSurvey();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), requests);
    if (!requests.isEmpty())
        QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)), QJsonObject());
    h.window.visible = windowStaysVisible;
    QVERIFY(h.advance(1199ms));
    QVERIFY(!model.surveyRequested());
    QVERIFY(h.advance(1ms));
    QCOMPARE(model.surveyRequested(), offered);
    QCOMPARE(model.alert(), std::nullopt);

    // Once per session, whatever came of it; a survey kept back by the tour comes later.
    model.setSurveyRequested(false);
    model.setTourStep(std::nullopt);
    h.window.visible = true;
    h.sandbox.clearRequests();
    model.scheduleSurvey();
    QVERIFY(h.settle());
    QVERIFY(h.advance(AppModel::surveyDelay));
    const bool askedLater = tourShown;
    QCOMPARE(h.requestLines().contains(u"POST /users/update_survey"_s), askedLater);
    QCOMPARE(model.surveyRequested(), askedLater);
}

void AppModelNoticesTest::submitSurvey_data()
{
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QString>("notice");

    QTest::newRow("sent") << 0 << u"Thank you for your answers."_s;
    QTest::newRow("refused") << 500 << u"Couldn't send the survey. Thank you anyway."_s;
    QTest::newRow("session ended") << 401 << u"Couldn't send the survey. Thank you anyway."_s;
}

void AppModelNoticesTest::submitSurvey()
{
    QFETCH(int, failWith);
    QFETCH(QString, notice);

    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/surveys"_s}, {u"status"_s, failWith}}));

    model.submitSurvey(u"\tsam@example.test "_s, u"9"_s, QString());
    QVERIFY(h.settle());

    QCOMPARE(h.requestLines(), QStringList{u"POST /surveys"_s});
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)),
             (QJsonObject{{u"email"_s, u"sam@example.test"_s}, {u"score"_s, u"9"_s}, {u"comment"_s, u""_s}}));
    QCOMPARE(h.guidance().notice(), std::optional<QString>(notice));
    QCOMPARE(model.alert(), std::nullopt);
    QCOMPARE(model.phase(), AppModel::Phase::ready);
}

QTEST_MAIN(AppModelNoticesTest)
#include "AppModelNoticesTest.moc"
