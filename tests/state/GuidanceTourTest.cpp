#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::AppModel;
using lumi::Guidance;
using lumi::User;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;

namespace {

const QString shownEvent = u"events.track(onboarding-step,action=shown,step=calendar)"_s;

// "key=value" of each setting sent, in order.
QStringList settingsSent(ModelHarness& h)
{
    QStringList sent;
    for (const QJsonValue& request : h.apiRequests()) {
        if (request[u"method"_s] != u"PUT"_s || request[u"path"_s] != u"/api/v6/users"_s)
            continue;
        const QJsonObject user = ModelHarness::bodyOf(request)[u"user"_s].toObject();
        for (auto it = user.begin(); it != user.end(); ++it)
            sent.append(it.key() + u'=' + it->toString());
    }
    return sent;
}

} // namespace

class GuidanceTourTest final : public QObject
{
    Q_OBJECT

private slots:
    void onboardingIsRequestedOnce();
    void finishOnboarding_data();
    void finishOnboarding();
    void startTour_data();
    void startTour();
    void newerStepCancelsThePendingOne();
};

void GuidanceTourTest::onboardingIsRequestedOnce()
{
    ModelHarness h;
    h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    Guidance& guidance = h.guidance();
    QVERIFY(guidance.onboardingDue());

    guidance.requestOnboarding();
    guidance.requestOnboarding();

    QVERIFY(!guidance.onboardingDue());
    QVERIFY(guidance.onboardingRequested());
    QCOMPARE(h.journal.calls().filter(u"onboarding-step"_s), QStringList{shownEvent});

    // Answered: asking again without a new alert does nothing.
    guidance.finishOnboarding(false, std::nullopt);
    guidance.requestOnboarding();
    QVERIFY(!guidance.onboardingRequested());
    QCOMPARE(h.journal.count(shownEvent), 1);
    QVERIFY(h.settle());
}

void GuidanceTourTest::finishOnboarding_data()
{
    QTest::addColumn<QString>("size");  // the calendar size held; "absent" for none
    QTest::addColumn<QString>("theme"); // the calendar theme held
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("choice"); // empty: no theme chosen
    QTest::addColumn<QStringList>("written");
    QTest::addColumn<QString>("event");

    QTest::newRow("skipped") << u"medium"_s << u"classic"_s << false << QString() << QStringList()
                             << u"action=skipped,step=calendar"_s;
    QTest::newRow("theme in use, calendar on")
        << u"medium"_s << u"classic"_s << true << u"classic"_s << QStringList()
        << u"action=done,choice=classic,step=calendar"_s;
    QTest::newRow("older name of the theme in use")
        << u"large"_s << u"classic-v2"_s << true << u"classic"_s << QStringList()
        << u"action=done,choice=classic,step=calendar"_s;
    QTest::newRow("another theme, calendar on")
        << u"medium"_s << u"classic"_s << true << u"forest"_s << QStringList{u"calendar_theme=forest"_s}
        << u"action=done,choice=forest,step=calendar"_s;
    QTest::newRow("a theme, calendar off") << u"zero"_s << u"classic"_s << true << u"plum"_s
                                           << QStringList{u"calendar_theme=plum"_s, u"calendar_size=medium"_s}
                                           << u"action=done,choice=plum,step=calendar"_s;
    QTest::newRow("the stored theme, calendar never set")
        << u"absent"_s << u"plum"_s << true << u"plum"_s << QStringList{u"calendar_size=medium"_s}
        << u"action=done,choice=plum,step=calendar"_s;
    QTest::newRow("no theme, calendar on")
        << u"small"_s << u"classic"_s << true << QString() << QStringList{u"calendar_size=zero"_s}
        << u"action=done,choice=none,step=calendar"_s;
    QTest::newRow("no theme, calendar off") << u""_s << u"classic"_s << true << QString() << QStringList()
                                            << u"action=done,choice=none,step=calendar"_s;
}

void GuidanceTourTest::finishOnboarding()
{
    QFETCH(QString, size);
    QFETCH(QString, theme);
    QFETCH(bool, accepted);
    QFETCH(QString, choice);
    QFETCH(QStringList, written);
    QFETCH(QString, event);

    ModelHarness h;
    AppModel& model = h.launchSignedIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    Guidance& guidance = h.guidance();
    User user = *model.account().user();
    user.calendarSize = size == u"absent" ? std::nullopt : std::optional<QString>(size);
    user.calendarTheme = theme;
    model.setUser(user);
    guidance.requestOnboarding();
    h.journal.clear();

    guidance.finishOnboarding(accepted, choice.isEmpty() ? std::nullopt : std::optional<QString>(choice));
    QVERIFY(h.settle());

    QVERIFY(!guidance.onboardingRequested());
    QCOMPARE(settingsSent(h), written);
    // The alert is handed in whatever the answer; its order against the settings is not fixed.
    QCOMPARE(h.requestLines().count(u"POST /alerts"_s), 1);
    QCOMPARE(h.journal.calls().filter(u"onboarding-step"_s),
             QStringList{u"events.track(onboarding-step,"_s + event + u')'});
    QCOMPARE(h.journal.count(u"events.track(settings-changed,setting=calendar)"_s), written.size());
    QCOMPARE(h.journal.count(u"rotation.redraw"_s), written.size());
}

void GuidanceTourTest::startTour_data()
{
    QTest::addColumn<bool>("signedIn");
    QTest::addColumn<bool>("fromAlert");
    QTest::addColumn<bool>("windowVisible");
    QTest::addColumn<bool>("tourRunning");
    QTest::addColumn<int>("delayMs"); // 0: no tour starts

    QTest::newRow("menu, window hidden or minimized") << true << false << false << false << 1000;
    QTest::newRow("menu, window in view") << true << false << true << false << 300;
    QTest::newRow("alert") << true << true << true << false << 300;
    QTest::newRow("alert while signed out: flag cleared only") << false << true << false << false << 0;
    QTest::newRow("tour under way") << true << true << true << true << 0;
}

void GuidanceTourTest::startTour()
{
    QFETCH(bool, signedIn);
    QFETCH(bool, fromAlert);
    QFETCH(bool, windowVisible);
    QFETCH(bool, tourRunning);
    QFETCH(int, delayMs);

    ModelHarness h;
    AppModel& model = signedIn ? h.launchSignedIn() : h.model();
    if (!signedIn) {
        model.launch();
        QVERIFY(h.settle());
        h.journal.clear();
    }
    Guidance& guidance = h.guidance();
    guidance.setTourDue(true);
    if (tourRunning)
        guidance.setTourStep(2);
    h.window.visible = windowVisible;

    guidance.startTour(fromAlert);

    QCOMPARE(guidance.tourDue(), !fromAlert);
    if (delayMs == 0) {
        QCOMPARE(h.journal.count(u"window.show"_s), 0);
        QCOMPARE(guidance.tourPreparing(), std::nullopt);
        QCOMPARE(guidance.tourStep(), tourRunning ? std::optional<int>(2) : std::nullopt);
        return;
    }
    QCOMPARE(h.journal.count(u"window.show"_s), 1);
    QCOMPARE(guidance.tourPreparing(), std::optional<int>(0));
    QVERIFY(h.advance(std::chrono::milliseconds(delayMs - 1)));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QVERIFY(h.advance(1ms));
    QCOMPARE(guidance.tourStep(), std::optional<int>(0));
    QCOMPARE(guidance.tourPreparing(), std::nullopt);

    // Ending a tour the alert started hands the alert in.
    h.sandbox.clearRequests();
    guidance.endTour();
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), fromAlert ? QStringList{u"POST /alerts"_s} : QStringList());
}

void GuidanceTourTest::newerStepCancelsThePendingOne()
{
    ModelHarness h;
    h.launchSignedIn();
    Guidance& guidance = h.guidance();
    guidance.showTourStep(0, 300ms);
    QVERIFY(h.advance(300ms));
    QCOMPARE(guidance.tourStep(), std::optional<int>(0));

    guidance.showTourStep(1, Guidance::tourStepDelay);
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QVERIFY(h.advance(200ms));
    guidance.showTourStep(2, Guidance::tourStepDelay);
    // Step 1 was due now; it never shows.
    QVERIFY(h.advance(100ms));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QCOMPARE(guidance.tourPreparing(), std::optional<int>(2));
    QVERIFY(h.advance(199ms));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QVERIFY(h.advance(1ms));
    QCOMPARE(guidance.tourStep(), std::optional<int>(2));

    // Ending the tour drops a pending step too.
    guidance.showTourStep(3, Guidance::tourStepDelay);
    guidance.endTour();
    QVERIFY(h.advance(1s));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QCOMPARE(guidance.tourPreparing(), std::nullopt);
}

QTEST_MAIN(GuidanceTourTest)
#include "GuidanceTourTest.moc"
