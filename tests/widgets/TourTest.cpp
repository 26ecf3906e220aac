#include "support/state/ModelHarness.h"
#include "widgets/TourAnchor.h"
#include "widgets/TourCallout.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <array>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::TourAnchor;
using lumi::TourCallout;
using lumi::TourPopover;
using lumi::test::ModelHarness;

class TourTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void firstStepWaitsForTheWindow_data();
    void firstStepWaitsForTheWindow();
    void calloutShowsItsStep_data();
    void calloutShowsItsStep();
    void buttonsMoveBetweenSteps();
    void leavingEndsTheTour_data();
    void leavingEndsTheTour();
    void inactiveAnchorStaysQuiet();

private:
    /// The bubbles on screen, by step.
    QList<int> shownSteps() const;
    TourPopover* popover(int step) const { return m_anchors.at(step)->popover(); }
    QPushButton* button(int step, const QString& name) const
    {
        return popover(step)->findChild<QPushButton*>(name);
    }
    void startAt(int step);

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<QWidget> m_window;
    QList<TourAnchor*> m_anchors;
};

void TourTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->launchSignedIn();

    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    const std::array edges{TourAnchor::Edge::trailing, TourAnchor::Edge::bottom, TourAnchor::Edge::leading,
                           TourAnchor::Edge::top};
    for (int step = 0; step < TourCallout::stepCount; ++step) {
        auto* view = new QLabel(u"view %1"_s.arg(step), m_window.get());
        layout->addWidget(view);
        m_anchors.append(new TourAnchor(m_harness->guidance(), *view, step, edges[step]));
    }
    m_window->resize(900, 600);
    m_window->show();
}

void TourTest::cleanup()
{
    m_anchors.clear();
    m_window.reset();
    m_harness.reset();
}

QList<int> TourTest::shownSteps() const
{
    QList<int> steps;
    for (int step = 0; step < m_anchors.size(); ++step) {
        if (popover(step) && popover(step)->isVisible())
            steps.append(step);
    }
    return steps;
}

void TourTest::startAt(int step)
{
    m_harness->window.visible = true;
    m_harness->guidance().startTour(false);
    m_harness->guidance().showTourStep(step, 0ms);
    QVERIFY(m_harness->advance(0ms));
    QTRY_COMPARE(shownSteps(), QList<int>{step});
}

void TourTest::firstStepWaitsForTheWindow_data()
{
    QTest::addColumn<bool>("windowInView");
    QTest::addColumn<int>("delayMs");

    QTest::newRow("window already in view") << true << 300;
    QTest::newRow("window brought up first") << false << 1000;
}

void TourTest::firstStepWaitsForTheWindow()
{
    QFETCH(bool, windowInView);
    QFETCH(int, delayMs);

    lumi::Guidance& guidance = m_harness->guidance();
    m_harness->window.visible = windowInView;
    guidance.startTour(false);
    QVERIFY(m_harness->journal.calls().contains(u"window.show"_s));
    QCOMPARE(guidance.tourPreparing(), std::optional<int>(0));

    QVERIFY(m_harness->advance(std::chrono::milliseconds(delayMs - 1)));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QVERIFY(shownSteps().isEmpty());

    QVERIFY(m_harness->advance(1ms));
    QTRY_COMPARE(guidance.tourStep(), std::optional<int>(0));
    QCOMPARE(guidance.tourPreparing(), std::nullopt);
    QCOMPARE(shownSteps(), QList<int>{0});

    // A second start while the tour runs changes nothing.
    guidance.startTour(false);
    QCOMPARE(guidance.tourStep(), std::optional<int>(0));
}

void TourTest::calloutShowsItsStep_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("next");

    QTest::newRow("first") << 0 << u"Welcome to Lumivale"_s << u"1 of 4"_s << false << u"Next"_s;
    QTest::newRow("second") << 1 << u"Use a photo"_s << u"2 of 4"_s << true << u"Next"_s;
    QTest::newRow("third") << 2 << u"Choose what rotates"_s << u"3 of 4"_s << true << u"Next"_s;
    QTest::newRow("last") << 3 << u"Settings and help"_s << u"4 of 4"_s << true << u"Done"_s;
    QTest::newRow("beyond the table shows the last text")
        << 5 << u"Settings and help"_s << u"6 of 4"_s << true << u"Next"_s;
}

void TourTest::calloutShowsItsStep()
{
    QFETCH(int, step);
    QFETCH(QString, title);
    QFETCH(QString, counter);
    QFETCH(bool, back);
    QFETCH(QString, next);

    const TourCallout callout(m_harness->guidance(), step);
    QCOMPARE(callout.findChild<QLabel*>(u"tour.title"_s)->text(), title);
    QCOMPARE(callout.findChild<QLabel*>(u"tour.counter"_s)->text(), counter);
    QCOMPARE(callout.findChild<QPushButton*>(u"tour.back"_s) != nullptr, back);
    QCOMPARE(callout.nextButton()->text(), next);
    QCOMPARE(callout.width(), TourCallout::calloutWidth);
}

void TourTest::buttonsMoveBetweenSteps()
{
    lumi::Guidance& guidance = m_harness->guidance();
    startAt(0);

    QTest::mouseClick(button(0, u"tour.next"_s), Qt::LeftButton);
    // Between two steps nothing is shown, and the closing bubble doesn't end the tour.
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QCOMPARE(guidance.tourPreparing(), std::optional<int>(1));
    QTRY_VERIFY(shownSteps().isEmpty());
    QVERIFY(m_harness->advance(299ms));
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QVERIFY(m_harness->advance(1ms));
    QTRY_COMPARE(shownSteps(), QList<int>{1});

    QTest::mouseClick(button(1, u"tour.back"_s), Qt::LeftButton);
    QVERIFY(m_harness->advance(300ms));
    QTRY_COMPARE(shownSteps(), QList<int>{0});

    for (int step = 0; step < 3; ++step) {
        QTest::mouseClick(button(step, u"tour.next"_s), Qt::LeftButton);
        QVERIFY(m_harness->advance(300ms));
        QTRY_COMPARE(shownSteps(), QList<int>{step + 1});
    }
    // Return presses "Done" on the last step.
    QTest::keyClick(popover(3), Qt::Key_Return);
    QCOMPARE(guidance.tourStep(), std::nullopt);
    QCOMPARE(guidance.tourPreparing(), std::nullopt);
    QTRY_VERIFY(shownSteps().isEmpty());
}

void TourTest::leavingEndsTheTour_data()
{
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("fromAlert");

    QTest::newRow("Skip Tour") << 0 << u"skip"_s << false;
    QTest::newRow("Done") << 3 << u"done"_s << false;
    QTest::newRow("a click outside") << 1 << u"close"_s << false;
    QTest::newRow("Escape") << 2 << u"escape"_s << false;
    QTest::newRow("Skip Tour, started for an alert") << 0 << u"skip"_s << true;
    QTest::newRow("a click outside, started for an alert") << 2 << u"close"_s << true;
}

void TourTest::leavingEndsTheTour()
{
    QFETCH(int, step);
    QFETCH(QString, how);
    QFETCH(bool, fromAlert);

    lumi::Guidance& guidance = m_harness->guidance();
    m_harness->window.visible = true;
    guidance.startTour(fromAlert);
    guidance.showTourStep(step, 0ms);
    QVERIFY(m_harness->advance(0ms));
    QTRY_COMPARE(shownSteps(), QList<int>{step});

    TourPopover* shown = popover(step);
    if (how == u"skip"_s)
        QTest::mouseClick(button(step, u"tour.skip"_s), Qt::LeftButton);
    else if (how == u"done"_s)
        QTest::mouseClick(button(step, u"tour.next"_s), Qt::LeftButton);
    else if (how == u"close"_s)
        shown->close();
    else
        QTest::keyClick(shown, Qt::Key_Escape);
    QVERIFY(m_harness->settle());

    QCOMPARE(guidance.tourStep(), std::nullopt);
    QCOMPARE(guidance.tourPreparing(), std::nullopt);
    QTRY_VERIFY(shownSteps().isEmpty());
    QCOMPARE(m_harness->requestLines().count(u"POST /alerts"_s), fromAlert ? 1 : 0);
}

void TourTest::inactiveAnchorStaysQuiet()
{
    m_anchors.at(0)->setActive(false);
    m_harness->window.visible = true;
    m_harness->guidance().startTour(false);
    QVERIFY(m_harness->advance(300ms));
    QTRY_COMPARE(m_harness->guidance().tourStep(), std::optional<int>(0));
    QVERIFY(shownSteps().isEmpty());

    m_anchors.at(0)->setActive(true);
    QCOMPARE(shownSteps(), QList<int>{0});
}

QTEST_MAIN(TourTest)
#include "TourTest.moc"
