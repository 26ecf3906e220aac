#include "library/PlaylistSync.h"
#include "library/StoredListings.h"
#include "model/Defaults.h"
#include "support/FakeWakeWatcher.h"
#include "support/MediaUuids.h"
#include "support/TestFiles.h"
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
    void outOfReachTheListedTitlesAreShown();
    void firstChangeAfterARelaunch_data();
    void firstChangeAfterARelaunch();
    void incompletePassStoresNoListings();

private:
    /// The engine of a launch, wired to the sync as the application wires it.
    void makeEngine();
    /// A new launch over the same home: a new sync and engine, and the launch's first pass.
    bool relaunch();
    bool change();

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
    test::FakeWakeWatcher m_wake;
    test::CallJournal m_journal;
    test::RecordingEvents m_events{m_journal};
    std::unique_ptr<RotationEngine> m_engine;
    test::RecordingApplier* m_applier = nullptr;
};

void RotationAfterSyncTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void RotationAfterSyncTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
    makeEngine();
}

void RotationAfterSyncTest::makeEngine()
{
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    auto applier = std::make_unique<test::RecordingApplier>();
    m_applier = applier.get();
    m_engine =
        std::make_unique<RotationEngine>(RotationEngine::Services{h.account, h.clock, Defaults::shared(),
                                                                  h.api, h.screens, m_wake, sync, m_events},
                                         std::move(applier));
    QObject::connect(&sync, &PlaylistSync::poolFoldersChanged, m_engine.get(),
                     [this] { m_engine->setPoolKey(QString()); });
    QObject::connect(&sync, &PlaylistSync::passCompleted, m_engine.get(), &RotationEngine::rebuildPool);
    QObject::connect(&sync, &PlaylistSync::listingsRestored, m_engine.get(), &RotationEngine::rebuildPool);
}

bool RotationAfterSyncTest::relaunch()
{
    m_engine.reset();
    m_harness->relaunch();
    makeEngine();
    m_harness->forgetLog();
    return m_harness->runPass();
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
    QTest::addColumn<QJsonObject>("photoFault");
    QTest::addColumn<int>("failedDownloads");
    QTest::addColumn<QStringList>("listings"); // asked for by the first change after the pass

    const QJsonObject missing{{u"path"_s, u"/cdn/*"_s}, {u"photo"_s, u"missing"_s}, {u"times"_s, 1}};
    const QJsonObject failing{{u"path"_s, u"/cdn/*"_s}, {u"status"_s, 503}, {u"times"_s, 1}};
    QTest::newRow("a complete pass: the pool is built from its listings")
        << QJsonObject() << 0 << QStringList();
    QTest::newRow("a photo the service lacks: the pool is built from the listings")
        << missing << 1 << QStringList();
    QTest::newRow("a pass that missed a photo: the pool is listed again")
        << failing << 1 << QStringList{mornings};
}

void RotationAfterSyncTest::firstChangeAfterAPass()
{
    QFETCH(QJsonObject, photoFault);
    QFETCH(int, failedDownloads);
    QFETCH(QStringList, listings);

    test::SyncHarness& h = *m_harness;
    // A pool built before the pass, so the pass has one to replace.
    QVERIFY(change());
    if (!photoFault.isEmpty())
        QVERIFY(h.sandbox.addFault(photoFault));
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

void RotationAfterSyncTest::outOfReachTheListedTitlesAreShown()
{
    test::SyncHarness& h = *m_harness;
    // Titles that a file name can't keep: accents and punctuation, and none at all.
    QJsonObject listing =
        h.sandbox.call("GET", u"media/playlists/mountain-mornings"_s, *h.api.token()).json().toObject();
    const QJsonArray media = listing[u"media"_s].toArray();
    QJsonObject accented = media[0].toObject();
    accented[u"title"_s] = u"Café «Côte», Zürich"_s;
    QJsonObject untitled = media[1].toObject();
    untitled.remove(u"title"_s);
    const QJsonObject plain = media[2].toObject();
    listing[u"media"_s] = QJsonArray{accented, untitled, plain};
    QVERIFY(h.sandbox.addFault({{u"method"_s, u"GET"_s},
                                {u"path"_s, u"/api/v6/media/playlists/mountain-mornings"_s},
                                {u"status"_s, 200},
                                {u"body"_s, QString::fromUtf8(QJsonDocument(listing).toJson())}}));
    QVERIFY(h.runPass());
    QCOMPARE(h.sync().paperIndex().size(), 3);

    // The next launch, with the service out of reach.
    m_engine.reset();
    makeEngine();
    h.sandbox.clearFaults();
    QVERIFY(h.sandbox.addFault({{u"path"_s, u"/api/v6/*"_s}, {u"drop"_s, true}}));
    QHash<QString, std::optional<QString>> expected;
    for (const QJsonObject& photo : {accented, untitled, plain}) {
        const QJsonValue title = photo[u"title"_s];
        expected.insert(photo[u"uuid"_s].toString().left(8),
                        title.isString() ? std::optional(title.toString()) : std::nullopt);
    }
    QHash<QString, std::optional<QString>> shown;
    for (int i = 0; i < 3; ++i) {
        QVERIFY(change());
        const test::RecordingApplier::Call& call = m_applier->calls().last();
        // The demo account shows titles: the composed title is the listed one.
        shown.insert(call.photo.shortId(), call.title);
        QCOMPARE(call.photo.title, call.title);
    }
    QCOMPARE(shown, expected);
}

void RotationAfterSyncTest::firstChangeAfterARelaunch_data()
{
    QTest::addColumn<QByteArray>("stored"); // written over the listings file; empty to keep it
    QTest::addColumn<bool>("removed");
    QTest::addColumn<QStringList>("listings"); // asked for by the first change after the relaunch
    QTest::addColumn<QStringList>("lines");

    const QString unusable = u"stored listings unusable (%1): the pool is listed from the service"_s;
    QTest::newRow("the last pass's listings: nothing is listed")
        << QByteArray() << false << QStringList() << QStringList();
    QTest::newRow("a corrupt file: listed from the service")
        << QByteArray("{\"state\": \"|1280x1024") << false << QStringList{mornings}
        << QStringList{unusable.arg(u"unterminated string"_s)};
    QTest::newRow("a listing that is no photo: listed from the service")
        << QByteArray(R"({"state": "", "listed_at": "2026-12-10T12:00:00.000Z", "playlists": {"102": [7]}})")
        << false << QStringList{mornings}
        << QStringList{unusable.arg(u"playlist 102: $: expected an object, found a number"_s)};
    QTest::newRow("no file: listed from the service")
        << QByteArray() << true << QStringList{mornings}
        << QStringList{unusable.arg(u"No such file or directory"_s)};
}

void RotationAfterSyncTest::firstChangeAfterARelaunch()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, removed);
    QFETCH(QStringList, listings);
    QFETCH(QStringList, lines);

    test::SyncHarness& h = *m_harness;
    QVERIFY(h.runPass());
    QVERIFY(change());
    const QStringList pool = test::uuidsOf(m_engine->pool().photos());
    const QString file = StoredListings::defaultFile();
    if (removed)
        QVERIFY(QFile::remove(file));
    if (!stored.isEmpty())
        QVERIFY(test::writeFile(file, stored));

    // Within six hours of the pass, nothing changed: the launch's first pass has nothing to do.
    h.clock.advance(std::chrono::hours(5));
    QVERIFY(relaunch());
    QCOMPARE(h.syncLines(), lines);
    h.sandbox.clearRequests();
    const qsizetype calls = m_applier->calls().size();
    QVERIFY(change());
    QCOMPARE(h.listingRequests(), listings);
    QCOMPARE(m_applier->calls().size(), calls + h.screens.displays().size());
    QCOMPARE(test::uuidsOf(m_engine->pool().photos()), pool);

    // Six hours after the pass, the pool is listed again.
    h.clock.advance(std::chrono::minutes(61));
    h.sandbox.clearRequests();
    QVERIFY(change());
    QCOMPARE(h.listingRequests(), listings.isEmpty() ? QStringList{mornings} : QStringList());
}

void RotationAfterSyncTest::incompletePassStoresNoListings()
{
    test::SyncHarness& h = *m_harness;
    QVERIFY(h.sandbox.addFault({{u"path"_s, u"/cdn/*"_s}, {u"status"_s, 503}, {u"times"_s, 1}}));
    QVERIFY(h.runPass());
    QVERIFY(!QFile::exists(StoredListings::defaultFile()));

    // The next launch's pass does the work again, and stores what it listed.
    QVERIFY(relaunch());
    const auto read = StoredListings::read(StoredListings::defaultFile());
    QVERIFY(std::holds_alternative<StoredListings::Stored>(read));
    QCOMPARE(std::get<StoredListings::Stored>(read).listings.value(102).size(), 24);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::RotationAfterSyncTest)
#include "RotationAfterSyncTest.moc"
