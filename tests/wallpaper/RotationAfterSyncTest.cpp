#include "library/PlaylistSync.h"
#include "model/Defaults.h"
#include "support/FakeWakeWatcher.h"
#include "support/MediaUuids.h"
#include "support/library/SyncHarness.h"
#include "support/state/CallJournal.h"
#include "support/state/RecordingEvents.h"
#include "support/wallpaper/RecordingApplier.h"
#include "wallpaper/RotationEngine.h"

#include <QCoreApplication>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

constexpr int waitMs = 30'000;
const QString mornings = u"GET /api/v6/media/playlists/mountain-mornings?page=1&per_page=500"_s;

} // namespace

/// The wallpaper pool after a sync pass: a real sync against the sandbox, the rotation wired to it
/// as the application wires it, and a recording stand-in for the wallpaper service.
class RotationAfterSyncTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstChangeAfterAPass_data();
    void firstChangeAfterAPass();

private:
    bool change();

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
    test::FakeWakeWatcher m_wake;
    test::CallJournal m_journal;
    test::RecordingEvents m_events{m_journal};
    std::unique_ptr<RotationEngine> m_engine;
};

void RotationAfterSyncTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void RotationAfterSyncTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    m_engine =
        std::make_unique<RotationEngine>(RotationEngine::Services{h.account, h.clock, Defaults::shared(),
                                                                  h.api, h.screens, m_wake, sync, m_events},
                                         std::make_unique<test::RecordingApplier>());
    QObject::connect(&sync, &PlaylistSync::poolFoldersChanged, m_engine.get(),
                     [this] { m_engine->setPoolKey(QString()); });
    QObject::connect(&sync, &PlaylistSync::passCompleted, m_engine.get(), &RotationEngine::rebuildPool);
}

void RotationAfterSyncTest::cleanup()
{
    m_engine.reset();
    QCoreApplication::processEvents();
    m_harness.reset();
}

bool RotationAfterSyncTest::change()
{
    bool changed = false;
    auto run = [](RotationEngine& engine, bool& changed) -> QCoro::Task<void> {
        changed = co_await engine.changeWallpaper(true);
    };
    run(*m_engine, changed);
    return QTest::qWaitFor([this] { return m_engine->runningTasks() == 0; }, waitMs) && changed;
}

void RotationAfterSyncTest::firstChangeAfterAPass_data()
{
    QTest::addColumn<int>("failedDownloads");
    QTest::addColumn<QStringList>("listings"); // asked for by the first change after the pass

    QTest::newRow("a complete pass: the pool is built from its listings") << 0 << QStringList();
    QTest::newRow("a pass that missed a photo: the pool is listed again") << 1 << QStringList{mornings};
}

void RotationAfterSyncTest::firstChangeAfterAPass()
{
    QFETCH(int, failedDownloads);
    QFETCH(QStringList, listings);

    test::SyncHarness& h = *m_harness;
    // A pool built before the pass, so the pass has one to replace.
    QVERIFY(change());
    if (failedDownloads > 0)
        QVERIFY(h.sandbox.addFault(
            {{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, u"missing"_s}, {u"times"_s, failedDownloads}}));
    QVERIFY(h.runPass());
    h.sandbox.clearRequests();

    QVERIFY(change());
    QCOMPARE(h.listingRequests(), listings);
    const QStringList pool = test::uuidsOf(m_engine->pool().photos());
    QCOMPARE(pool.size(), 24 - failedDownloads);
    for (const Medium& photo : m_engine->pool().photos())
        QVERIFY2(h.sync().paperIndex().contains(photo.shortId()), qPrintable(photo.uuid));

    // The same pool as one the service's listing gives.
    m_engine->setPoolKey(QString());
    h.sandbox.clearRequests();
    QVERIFY(change());
    QCOMPARE(h.listingRequests(), QStringList{mornings});
    QCOMPARE(test::uuidsOf(m_engine->pool().photos()), pool);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationAfterSyncTest)
#include "RotationAfterSyncTest.moc"
