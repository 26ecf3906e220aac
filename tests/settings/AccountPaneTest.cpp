#include "settings/AccountPane.h"
#include "settings/ApplicationSettings.h"
#include "settings/CalendarSettingsPane.h"
#include "settings/ChoicePicker.h"
#include "settings/ScreenSaverSettings.h"
#include "settings/WallpaperSettings.h"
#include "support/settings/SettingsRig.h"
#include "support/state/ModelHarness.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::test::ModelHarness;
using lumi::test::SandboxFixture;

namespace {

std::unique_ptr<QWidget> makePane(const QString& pane, lumi::test::SettingsRig& rig)
{
    ModelHarness& h = rig.harness;
    AppModel& model = h.model();
    if (pane == u"application"_s)
        return std::make_unique<lumi::ApplicationSettings>(model, h.settings(), h.shortcuts);
    if (pane == u"wallpaper"_s)
        return std::make_unique<lumi::WallpaperSettings>(model, model.account(), h.settings(),
                                                         rig.services().engine);
    if (pane == u"calendar"_s)
        return std::make_unique<lumi::CalendarSettingsPane>(model, model.account(), h.settings());
    return std::make_unique<lumi::ScreenSaverSettings>(model, model.account(), h.settings(), h.saver());
}

/// What a control shows: a picker its label (empty for no choice), a toggle "on" or "off".
QString shown(QWidget& pane, const QString& control)
{
    if (auto* picker = pane.findChild<lumi::ChoicePicker*>(control))
        return picker->currentIndex() < 0 ? QString() : picker->currentText();
    auto* toggle = pane.findChild<QCheckBox*>(control);
    if (!toggle)
        return u"missing"_s;
    return toggle->isChecked() ? u"on"_s : u"off"_s;
}

/// Picks the option with this label, or clicks the toggle, as the user would.
bool operate(QWidget& pane, const QString& control, const QString& choice)
{
    if (auto* picker = pane.findChild<lumi::ChoicePicker*>(control)) {
        const int index = picker->findText(choice);
        if (index < 0)
            return false;
        picker->setCurrentIndex(index);
        emit picker->activated(index);
        return true;
    }
    auto* toggle = pane.findChild<QCheckBox*>(control);
    if (!toggle)
        return false;
    toggle->click();
    return true;
}

/// A pane with one toggle that counts how often it was shown the record.
class CountingPane final : public lumi::AccountPane
{
public:
    CountingPane(AppModel& model, lumi::SettingsSync& settings)
        : AccountPane(model, model.account(), u"Sign in."_s, nullptr)
    {
        toggle = makeToggle(u"counting.shuffle"_s, u"Shuffle"_s,
                            [&settings](bool on) { return settings.setPaperRandom(on); });
        controls().addWidget(toggle);
        refresh();
    }

    QCheckBox* toggle = nullptr;
    int shown = 0;

protected:
    void showUser(const lumi::User& user) override
    {
        ++shown;
        toggle->setChecked(user.paperRandom.value_or(false));
    }
};

} // namespace

class AccountPaneTest final : public QObject
{
    Q_OBJECT

private slots:
    void changeSendsOneKeyAndShowsTheAnswer_data();
    void changeSendsOneKeyAndShowsTheAnswer();
    void eachChangeShowsTheRecordOnce_data();
    void eachChangeShowsTheRecordOnce();
    void storedValuesShowAsTheyMean_data();
    void storedValuesShowAsTheyMean();
    void followsTheSignIn_data();
    void followsTheSignIn();

private:
    /// Launches on the demo account with these stored first.
    AppModel& launchWith(ModelHarness& h, const QJsonObject& stored);
};

AppModel& AccountPaneTest::launchWith(ModelHarness& h, const QJsonObject& stored)
{
    const QString token = h.leaveSession(SandboxFixture::demoEmail, SandboxFixture::demoPassword, false);
    if (!stored.isEmpty())
        h.sandbox.call("PUT", u"users"_s, token, {{u"user"_s, stored}});
    AppModel& model = h.model();
    model.launch();
    h.settle();
    h.sandbox.clearRequests();
    return model;
}

void AccountPaneTest::changeSendsOneKeyAndShowsTheAnswer_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QJsonObject>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QJsonObject>("sent");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    struct Row
    {
        const char* name;
        QString pane;
        QJsonObject stored;
        QString control;
        QString choice;
        QJsonObject sent;
        QString before;
        QString after;
    };
    const QList<Row> rows{
        {"interval",
         u"wallpaper"_s,
         {{u"rotate_desktop"_s, u"1hour"_s}},
         u"wallpaper.interval"_s,
         u"Every 20 minutes"_s,
         {{u"rotate_desktop"_s, u"20minutes"_s}},
         u"Every hour"_s,
         u"Every 20 minutes"_s},
        {"shuffle",
         u"wallpaper"_s,
         {{u"paper_random"_s, false}},
         u"wallpaper.shuffle"_s,
         {},
         {{u"paper_random"_s, true}},
         u"off"_s,
         u"on"_s},
        {"fit",
         u"wallpaper"_s,
         {{u"fit_desktop"_s, u"fill"_s}},
         u"wallpaper.fit"_s,
         u"Fit (whole photo)"_s,
         {{u"fit_desktop"_s, u"fit"_s}},
         u"Fill (crop the edges)"_s,
         u"Fit (whole photo)"_s},
        {"title on",
         u"wallpaper"_s,
         {{u"lumivale_title_size"_s, u"large"_s}},
         u"wallpaper.title"_s,
         {},
         {{u"lumivale_title_size"_s, u"small"_s}},
         u"off"_s,
         u"on"_s},
        {"same photo off",
         u"wallpaper"_s,
         {{u"multi_display_next_paper"_s, u"same"_s}},
         u"wallpaper.sameOnEvery"_s,
         {},
         {{u"multi_display_next_paper"_s, u"diff"_s}},
         u"on"_s,
         u"off"_s},
        {"idle",
         u"saver"_s,
         {{u"saver_idle"_s, u"5minutes"_s}},
         u"saver.idle"_s,
         u"1 hour"_s,
         {{u"saver_idle"_s, u"1hour"_s}},
         u"5 minutes"_s,
         u"1 hour"_s},
        {"random effect",
         u"saver"_s,
         {{u"saver_show"_s, u"fader"_s}},
         u"saver.effect"_s,
         u"Random"_s,
         {{u"saver_show"_s, u"random"_s}},
         u"Fader"_s,
         u"Random"_s},
        {"panner",
         u"saver"_s,
         {{u"saver_show"_s, u"fader"_s}},
         u"saver.effect"_s,
         u"Panner"_s,
         {{u"saver_show"_s, u"kber"_s}},
         u"Fader"_s,
         u"Panner"_s},
        {"pause",
         u"saver"_s,
         {{u"saver_pause"_s, u"2"_s}},
         u"saver.pause"_s,
         u"60 seconds"_s,
         {{u"saver_pause"_s, u"5"_s}},
         u"10 seconds"_s,
         u"60 seconds"_s},
        {"saver fill",
         u"saver"_s,
         {{u"saver_fit"_s, false}},
         u"saver.fill"_s,
         {},
         {{u"saver_fit"_s, true}},
         u"off"_s,
         u"on"_s},
        {"titles off",
         u"saver"_s,
         {{u"saver_title"_s, u"small"_s}},
         u"saver.titles"_s,
         {},
         {{u"saver_title"_s, u"none"_s}},
         u"on"_s,
         u"off"_s},
        {"calendar on",
         u"calendar"_s,
         {{u"calendar_size"_s, u"zero"_s}},
         u"calendar.shown"_s,
         {},
         {{u"calendar_size"_s, u"medium"_s}},
         u"off"_s,
         u"on"_s},
        {"opacity",
         u"calendar"_s,
         {{u"calendar_size"_s, u"small"_s}, {u"calendar_opacity"_s, u"100"_s}},
         u"calendar.opacity"_s,
         u"70%"_s,
         {{u"calendar_opacity"_s, u"70"_s}},
         u"100% (photo hidden behind it)"_s,
         u"70%"_s},
        {"theme",
         u"calendar"_s,
         {{u"calendar_size"_s, u"small"_s}, {u"calendar_theme"_s, u"classic"_s}},
         u"calendar.theme"_s,
         u"Forest"_s,
         {{u"calendar_theme"_s, u"forest"_s}},
         u"Classic"_s,
         u"Forest"_s},
        {"future months",
         u"calendar"_s,
         {{u"calendar_size"_s, u"small"_s}, {u"calendar_future"_s, u"none"_s}},
         u"calendar.future"_s,
         u"2"_s,
         {{u"calendar_future"_s, u"2"_s}},
         u"None"_s,
         u"2"_s},
        {"notifications",
         u"application"_s,
         {{u"notifications"_s, u"none"_s}},
         u"application.notifications"_s,
         {},
         {{u"notifications"_s, u"all"_s}},
         u"off"_s,
         u"on"_s},
        {"shortcuts off",
         u"application"_s,
         {{u"flags"_s, u"beta"_s}},
         u"application.shortcuts"_s,
         {},
         {{u"flags"_s, u"beta no-shortcuts"_s}},
         u"on"_s,
         u"off"_s},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.pane << row.stored << row.control << row.choice << row.sent
                                << row.before << row.after;
}

void AccountPaneTest::changeSendsOneKeyAndShowsTheAnswer()
{
    QFETCH(QString, pane);
    QFETCH(QJsonObject, stored);
    QFETCH(QString, control);
    QFETCH(QString, choice);
    QFETCH(QJsonObject, sent);
    QFETCH(QString, before);
    QFETCH(QString, after);

    for (const bool refused : {false, true}) {
        ModelHarness h;
        lumi::test::SettingsRig rig(h);
        AppModel& model = launchWith(h, stored);
        const std::unique_ptr<QWidget> view = makePane(pane, rig);
        QCOMPARE(shown(*view, control), before);
        if (refused)
            QVERIFY(h.sandbox.addFault(
                {{u"method"_s, u"PUT"_s}, {u"path"_s, u"/api/v6/users"_s}, {u"status"_s, 500}}));

        const QSignalSpy stored(&model.account(), &lumi::Account::userChanged);
        QVERIFY(operate(*view, control, choice));
        // The pane's task is its own, not the model's: wait for what its answer brings.
        if (refused)
            QTRY_VERIFY(model.alert().has_value());
        else
            QTRY_COMPARE(stored.count(), 1);

        const QJsonArray requests = h.apiRequests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first()[u"method"_s].toString(), u"PUT"_s);
        QCOMPARE(ModelHarness::bodyOf(requests.first()), (QJsonObject{{u"user"_s, sent}}));
        QCOMPARE(shown(*view, control), refused ? before : after);
        QCOMPARE(model.alert().has_value(), refused);
    }
}

void AccountPaneTest::eachChangeShowsTheRecordOnce_data()
{
    QTest::addColumn<int>("status"); // the server's answer to the change
    QTest::addColumn<bool>(
        "storedAsSent"); // a 200 answers with the change stored, or with the record as it was
    QTest::addColumn<bool>("shownAfter");

    QTest::newRow("stored") << 200 << true << true;
    QTest::newRow("answered as it was") << 200 << false << false;
    QTest::newRow("refused") << 500 << false << false;
}

void AccountPaneTest::eachChangeShowsTheRecordOnce()
{
    QFETCH(int, status);
    QFETCH(bool, storedAsSent);
    QFETCH(bool, shownAfter);

    ModelHarness h;
    AppModel& model = launchWith(h, {{u"paper_random"_s, false}});
    CountingPane pane(model, h.settings());
    QVERIFY(!pane.toggle->isChecked());
    QJsonObject fault{{u"method"_s, u"PUT"_s}, {u"path"_s, u"/api/v6/users"_s}, {u"status"_s, status}};
    if (status == 200) {
        QJsonObject answered = model.account().user()->toJson();
        answered.insert(u"paper_random"_s, storedAsSent);
        fault.insert(u"body"_s,
                     QString::fromUtf8(QJsonDocument(QJsonObject{{u"user"_s, answered}}).toJson()));
    }
    QVERIFY(h.sandbox.addFault(fault));
    const int shownBefore = pane.shown;

    pane.toggle->click();
    // The change has ended once it is reported, answered or not.
    QTRY_COMPARE(h.journal.count(u"events.track(settings-changed,setting=wallpaper)"_s), 1);
    QCoreApplication::processEvents();

    QCOMPARE(pane.shown - shownBefore, 1);
    QCOMPARE(pane.toggle->isChecked(), shownAfter);
}

void AccountPaneTest::storedValuesShowAsTheyMean_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QJsonObject>("stored");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("expected");

    QTest::newRow("idle past the list")
        << u"saver"_s << QJsonObject{{u"saver_idle"_s, u"2hours"_s}} << u"saver.idle"_s << u"5 minutes"_s;
    QTest::newRow("kber") << u"saver"_s << QJsonObject{{u"saver_show"_s, u"kber"_s}} << u"saver.effect"_s
                          << u"Panner"_s;
    QTest::newRow("unknown effect") << u"saver"_s << QJsonObject{{u"saver_show"_s, u"sparkles"_s}}
                                    << u"saver.effect"_s << QString();
    QTest::newRow("pause past the list")
        << u"saver"_s << QJsonObject{{u"saver_pause"_s, u"9"_s}} << u"saver.pause"_s << u"10 seconds"_s;
    QTest::newRow("titles none") << u"saver"_s << QJsonObject{{u"saver_title"_s, u"none"_s}}
                                 << u"saver.titles"_s << u"off"_s;
    QTest::newRow("interval unknown") << u"wallpaper"_s << QJsonObject{{u"rotate_desktop"_s, u"3days"_s}}
                                      << u"wallpaper.interval"_s << u"Every hour"_s;
    QTest::newRow("fit other") << u"wallpaper"_s << QJsonObject{{u"fit_desktop"_s, u"Fit"_s}}
                               << u"wallpaper.fit"_s << u"Fill (crop the edges)"_s;
    QTest::newRow("opacity 73") << u"calendar"_s
                                << QJsonObject{{u"calendar_size"_s, u"large"_s},
                                               {u"calendar_opacity"_s, u"73"_s}}
                                << u"calendar.opacity"_s << u"70%"_s;
    QTest::newRow("opacity 45") << u"calendar"_s
                                << QJsonObject{{u"calendar_size"_s, u"large"_s},
                                               {u"calendar_opacity"_s, u"45"_s}}
                                << u"calendar.opacity"_s << u"50% (photo mostly visible)"_s;
    QTest::newRow("blue-v2") << u"calendar"_s
                             << QJsonObject{{u"calendar_size"_s, u"large"_s},
                                            {u"calendar_theme"_s, u"blue-v2"_s}}
                             << u"calendar.theme"_s << u"Blue"_s;
    QTest::newRow("unknown size") << u"calendar"_s << QJsonObject{{u"calendar_size"_s, u"huge"_s}}
                                  << u"calendar.size"_s << QString();
    QTest::newRow("past 5") << u"calendar"_s
                            << QJsonObject{{u"calendar_size"_s, u"large"_s}, {u"calendar_past"_s, u"5"_s}}
                            << u"calendar.past"_s << u"2"_s;
    QTest::newRow("past -1") << u"calendar"_s
                             << QJsonObject{{u"calendar_size"_s, u"large"_s}, {u"calendar_past"_s, u"-1"_s}}
                             << u"calendar.past"_s << u"None"_s;
    QTest::newRow("calendar off") << u"calendar"_s << QJsonObject{{u"calendar_size"_s, u""_s}}
                                  << u"calendar.shown"_s << u"off"_s;
    QTest::newRow("no-shortcuts among flags")
        << u"application"_s << QJsonObject{{u"flags"_s, u"beta|no-shortcuts no-cdn"_s}}
        << u"application.shortcuts"_s << u"off"_s;
}

void AccountPaneTest::storedValuesShowAsTheyMean()
{
    QFETCH(QString, pane);
    QFETCH(QJsonObject, stored);
    QFETCH(QString, control);
    QFETCH(QString, expected);

    ModelHarness h;
    lumi::test::SettingsRig rig(h);
    launchWith(h, stored);
    const std::unique_ptr<QWidget> view = makePane(pane, rig);
    QCOMPARE(shown(*view, control), expected);
    if (control == u"calendar.shown"_s)
        QVERIFY(!view->findChild<lumi::ChoicePicker*>(u"calendar.theme"_s)->isVisibleTo(view.get()));
}

void AccountPaneTest::followsTheSignIn_data()
{
    QTest::addColumn<QString>("pane");
    QTest::addColumn<QString>("signedOutText");

    QTest::newRow("wallpaper") << u"wallpaper"_s << u"Sign in to set up your wallpaper."_s;
    QTest::newRow("calendar") << u"calendar"_s << u"Sign in to set up the calendar."_s;
    QTest::newRow("saver") << u"saver"_s << u"Sign in to set up the screen saver."_s;
}

void AccountPaneTest::followsTheSignIn()
{
    QFETCH(QString, pane);
    QFETCH(QString, signedOutText);

    ModelHarness h;
    lumi::test::SettingsRig rig(h);
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    const std::unique_ptr<QWidget> view = makePane(pane, rig);
    view->show();
    const auto signedOutShown = [&] {
        const QList<QLabel*> labels = view->findChildren<QLabel*>();
        for (QLabel* label : labels) {
            if (label->isVisible() && label->text() == signedOutText)
                return true;
        }
        return false;
    };
    const auto controlsShown = [&] {
        const QList<QWidget*> controls = view->findChildren<QWidget*>();
        return std::any_of(controls.begin(), controls.end(), [](QWidget* control) {
            return (qobject_cast<QCheckBox*>(control) || qobject_cast<lumi::ChoicePicker*>(control)) &&
                   control->isVisible();
        });
    };
    QVERIFY(signedOutShown());
    QVERIFY(!controlsShown());

    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    QVERIFY(!signedOutShown());
    QVERIFY(controlsShown());

    model.signOut();
    QVERIFY(signedOutShown());
    QVERIFY(!controlsShown());
}

QTEST_MAIN(AccountPaneTest)
#include "AccountPaneTest.moc"
