#include "state/Guidance.h"

#include "support/state/ModelHarness.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::AppModel;
using lumi::Guidance;
using lumi::User;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;

class GuidanceTest final : public QObject
{
    Q_OBJECT

private slots:
    void newerNoticeReplacesAndRestartsTheTime();
    void scheduleSurvey_data();
    void scheduleSurvey();
    void surveyIsOfferedOnceARun();
    void submitSurvey_data();
    void submitSurvey();
};

void GuidanceTest::newerNoticeReplacesAndRestartsTheTime()
{
    ModelHarness h;
    Guidance& guidance = h.guidance();
    QSignalSpy changed(&guidance, &Guidance::noticeChanged);

    guidance.showNotice(u"Imported 1 playlist"_s);
    QVERIFY(h.advance(1s));
    guidance.showNotice(u"Added 2 photos"_s);
    // The first notice's 3 s are over; its clearing must not take the newer one away.
    QVERIFY(h.advance(2s));
    QCOMPARE(guidance.notice(), std::optional<QString>(u"Added 2 photos"_s));
    QVERIFY(h.advance(999ms));
    QCOMPARE(guidance.notice(), std::optional<QString>(u"Added 2 photos"_s));
    QVERIFY(h.advance(1ms));
    QCOMPARE(guidance.notice(), std::nullopt);
    QCOMPARE(changed.count(), 3);

    // The same text again still starts its own 3 s.
    guidance.showNotice(u"Added 2 photos"_s);
    QVERIFY(h.advance(2s));
    guidance.showNotice(u"Added 2 photos"_s);
    QVERIFY(h.advance(2s));
    QCOMPARE(guidance.notice(), std::optional<QString>(u"Added 2 photos"_s));
    QVERIFY(h.advance(1s));
    QCOMPARE(guidance.notice(), std::nullopt);
}

void GuidanceTest::scheduleSurvey_data()
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

void GuidanceTest::scheduleSurvey()
{
    QFETCH(QString, nextSurveyAt);
    QFETCH(bool, tourShown);
    QFETCH(bool, updateFails);
    QFETCH(bool, windowStaysVisible);
    QFETCH(QStringList, requests);
    QFETCH(bool, offered);

    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    Guidance& guidance = h.guidance();
    if (nextSurveyAt != u"keep") {
        User user = *model.account().user();
        user.nextSurveyAt = nextSurveyAt == u"absent" ? std::nullopt : std::optional<QString>(nextSurveyAt);
        model.setUser(user);
    }
    if (tourShown)
        guidance.setTourStep(1);
    if (updateFails)
        QVERIFY(h.sandbox.addFault(
            QJsonObject{{u"path"_s, u"/api/v6/users/update_survey"_s}, {u"status"_s, 500}}));
    h.window.visible = true;

    guidance.scheduleSurvey();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), requests);
    if (!requests.isEmpty())
        QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)), QJsonObject());
    h.window.visible = windowStaysVisible;
    QVERIFY(h.advance(1199ms));
    QVERIFY(!guidance.surveyRequested());
    QVERIFY(h.advance(1ms));
    QCOMPARE(guidance.surveyRequested(), offered);
    QCOMPARE(model.alert(), std::nullopt);

    // Once per session, whatever came of it; a survey kept back by the tour comes later.
    guidance.setSurveyRequested(false);
    guidance.setTourStep(std::nullopt);
    h.window.visible = true;
    h.sandbox.clearRequests();
    guidance.scheduleSurvey();
    QVERIFY(h.settle());
    QVERIFY(h.advance(Guidance::surveyDelay));
    const bool askedLater = tourShown;
    QCOMPARE(h.requestLines().contains(u"POST /users/update_survey"_s), askedLater);
    QCOMPARE(guidance.surveyRequested(), askedLater);
}

void GuidanceTest::surveyIsOfferedOnceARun()
{
    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    h.window.visible = true;
    h.guidance().scheduleSurvey();
    QVERIFY(h.settle());
    QVERIFY(h.advance(Guidance::surveyDelay));
    QVERIFY(h.guidance().surveyRequested());

    // Signed out and in again, with the survey due once more: not asked again before the app quits.
    model.signOut();
    QVERIFY(h.settle());
    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    User user = *model.account().user();
    user.nextSurveyAt = u"2020-01-01T00:00:00.000Z"_s;
    model.setUser(user);
    h.sandbox.clearRequests();
    h.guidance().scheduleSurvey();
    QVERIFY(h.settle());
    QVERIFY(h.advance(Guidance::surveyDelay));
    QVERIFY(!h.requestLines().contains(u"POST /users/update_survey"_s));
    QVERIFY(!h.guidance().surveyRequested());
}

void GuidanceTest::submitSurvey_data()
{
    QTest::addColumn<int>("failWith");
    QTest::addColumn<QString>("notice");

    QTest::newRow("sent") << 0 << u"Thank you for your answers."_s;
    QTest::newRow("refused") << 500 << u"Couldn't send the survey. Thank you anyway."_s;
    QTest::newRow("session ended") << 401 << u"Couldn't send the survey. Thank you anyway."_s;
}

void GuidanceTest::submitSurvey()
{
    QFETCH(int, failWith);
    QFETCH(QString, notice);

    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    Guidance& guidance = h.guidance();
    if (failWith != 0)
        QVERIFY(h.sandbox.addFault(QJsonObject{{u"path"_s, u"/api/v6/surveys"_s}, {u"status"_s, failWith}}));

    guidance.submitSurvey(u"\tsam@example.test "_s, u"9"_s, QString());
    QVERIFY(h.settle());

    QCOMPARE(h.requestLines(), QStringList{u"POST /surveys"_s});
    QCOMPARE(ModelHarness::bodyOf(h.apiRequests().at(0)),
             (QJsonObject{{u"email"_s, u"sam@example.test"_s}, {u"score"_s, u"9"_s}, {u"comment"_s, u""_s}}));
    QCOMPARE(guidance.notice(), std::optional<QString>(notice));
    QCOMPARE(model.alert(), std::nullopt);
    QCOMPARE(model.phase(), AppModel::Phase::ready);
}

QTEST_MAIN(GuidanceTest)
#include "GuidanceTest.moc"
