#include "state/Guidance.h"

#include "support/state/ModelHarness.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::Guidance;
using lumi::test::ModelHarness;

class GuidanceTest final : public QObject
{
    Q_OBJECT

private slots:
    void newerNoticeReplacesAndRestartsTheTime();
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

QTEST_MAIN(GuidanceTest)
#include "GuidanceTest.moc"
