#include "settings/SupportSettings.h"
#include "services/SupportTests.h"
#include "support/settings/SettingsRig.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::AppModel;
using lumi::SupportSettings;
using lumi::test::ModelHarness;
using lumi::test::SettingsRig;

namespace {

// The self-test is not built in this program: a scripted one that shows what the pane does
// with each state.
class ScriptedTests final : public lumi::SupportTests
{
public:
    bool running() const override { return isRunning; }
    double progress() const override { return fraction; }
    QString step() const override { return label; }
    std::optional<QString> result() const override { return summary; }
    QStringList hints() const override { return tips; }
    QCoro::Task<void> runTests() override
    {
        ++runs;
        co_return;
    }
    void set(bool running, double progress, QString step, std::optional<QString> result, QStringList hints)
    {
        isRunning = running;
        fraction = progress;
        label = std::move(step);
        summary = std::move(result);
        tips = std::move(hints);
        emit changed();
    }

    bool isRunning = false;
    double fraction = 0;
    QString label;
    std::optional<QString> summary;
    QStringList tips;
    int runs = 0;
};

QStringList visibleHints(QWidget& pane)
{
    QStringList hints;
    const QList<QLabel*> labels = pane.findChildren<QLabel*>(u"support.hint"_s);
    for (QLabel* label : labels) {
        if (label->isVisibleTo(&pane))
            hints.append(label->text());
    }
    return hints;
}

} // namespace

class SupportSettingsTest final : public QObject
{
    Q_OBJECT

private slots:
    void linksForEveryoneBlocksWhenSignedIn();
    void selfTestShowsItsState();
};

void SupportSettingsTest::linksForEveryoneBlocksWhenSignedIn()
{
    ModelHarness h;
    AppModel& model = h.model();
    model.launch();
    QVERIFY(h.settle());
    SettingsRig rig(h);
    ScriptedTests tests;
    SupportSettings pane(rig.services(&tests));
    pane.show();
    QVERIFY(!pane.findChild<QWidget*>(u"support.signedIn"_s));

    const QList<std::pair<QString, QString>> links{
        {u"support.page"_s, u"https://lumivale.com/support"_s},
        {u"support.email"_s, u"mailto:support@lumivale.com"_s},
        {u"support.privacy"_s, u"https://lumivale.com/privacy"_s},
        {u"support.terms"_s, u"https://lumivale.com/terms"_s},
    };
    for (const auto& [name, url] : links) {
        h.journal.clear();
        pane.findChild<QPushButton*>(name)->click();
        QCOMPARE(h.journal.calls(), QStringList{u"links.open("_s + url + u')'});
    }
    QCOMPARE(pane.findChild<QPushButton*>(u"support.email"_s)->text(), u"Email support@lumivale.com"_s);

    h.signIn(lumi::test::SandboxFixture::demoEmail, lumi::test::SandboxFixture::demoPassword);
    QVERIFY(pane.findChild<QWidget*>(u"support.signedIn"_s));
    for (const QString& name : {u"support.run"_s, u"photoFiles.clear"_s, u"directSupport.move"_s})
        QVERIFY2(pane.findChild<QPushButton*>(name)->isVisible(), qPrintable(name));

    model.signOut();
    QVERIFY(!pane.findChild<QWidget*>(u"support.signedIn"_s));
}

void SupportSettingsTest::selfTestShowsItsState()
{
    ModelHarness h;
    h.launchSignedIn();
    SettingsRig rig(h);
    ScriptedTests tests;
    // Hints of a run without a result yet stay hidden.
    tests.tips = {u"stale"_s};
    SupportSettings pane(rig.services(&tests));
    pane.show();
    auto* run = pane.findChild<QPushButton*>(u"support.run"_s);
    auto* progress = pane.findChild<QProgressBar*>(u"support.progress"_s);
    auto* step = pane.findChild<QLabel*>(u"support.step"_s);
    auto* result = pane.findChild<QLabel*>(u"support.result"_s);
    QVERIFY(run->isEnabled());
    QVERIFY(!progress->isVisible());
    QVERIFY(!result->isVisible());
    QVERIFY(visibleHints(pane).isEmpty());

    run->click();
    QTRY_COMPARE(tests.runs, 1);
    tests.set(true, 0.25, u"Photo servers"_s, std::nullopt, {});
    QVERIFY(!run->isEnabled());
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->value(), progress->maximum() / 4);
    QCOMPARE(step->text(), u"Photo servers"_s);

    tests.set(false, 1, {}, u"2 of 3 <b>tests</b> passed"_s, {u"Check your firewall."_s, u"Restart."_s});
    QVERIFY(run->isEnabled());
    QVERIFY(!progress->isVisible());
    QCOMPARE(result->text(), u"2 of 3 <b>tests</b> passed"_s);
    QCOMPARE(result->textFormat(), Qt::PlainText);
    QTRY_COMPARE(visibleHints(pane), (QStringList{u"💡 Check your firewall."_s, u"💡 Restart."_s}));

    tests.set(false, 1, {}, u"All passed"_s, {});
    QVERIFY(visibleHints(pane).isEmpty());
    QCOMPARE(result->text(), u"All passed"_s);
}

QTEST_MAIN(SupportSettingsTest)
#include "SupportSettingsTest.moc"
