#include "library/PlaylistSync.h"
#include "support/AccountEdits.h"
#include "support/library/SyncHarness.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

class PlaylistSyncRequestTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void debounce_data();
    void debounce();
    void requestsDuringAPassGiveExactlyOneMore();

private:
    int passes() const { return int(m_harness->syncLines().filter(u"synced "_s).size()); }
    void settle(std::chrono::milliseconds by);

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<test::SyncHarness> m_harness;
};

void PlaylistSyncRequestTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void PlaylistSyncRequestTest::init()
{
    m_harness = std::make_unique<test::SyncHarness>(*m_sandbox);
    // Without marked playlists a pass lists and downloads nothing, yet leaves its log lines.
    QList<Album> albums = m_harness->account.albums();
    for (Album& album : albums) {
        album.includeInPaper = false;
        album.includeInSaver = false;
    }
    m_harness->account.setAlbums(std::move(albums));
}

void PlaylistSyncRequestTest::cleanup()
{
    m_harness.reset();
}

void PlaylistSyncRequestTest::settle(std::chrono::milliseconds by)
{
    m_harness->clock.advance(by);
    QCoreApplication::processEvents();
}

void PlaylistSyncRequestTest::debounce_data()
{
    QTest::addColumn<bool>("primed");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("passSecond");

    // steps: "request <seconds> [force]", "wait <seconds>", "cancel"; passSecond: when the one
    // pass runs, counted from the first step, or -1 for none.
    QTest::newRow("three requests, one pass after the last")
        << false << QStringList{u"request 20"_s, u"wait 5"_s, u"request 20"_s, u"wait 5"_s, u"request 20"_s}
        << 30;
    QTest::newRow("force stays for a later request")
        << true << QStringList{u"request 20 force"_s, u"wait 1"_s, u"request 20"_s} << 21;
    QTest::newRow("without force an unchanged state runs nothing")
        << true << QStringList{u"request 20"_s, u"wait 1"_s, u"request 20"_s} << -1;
    QTest::newRow("cancel during the delay")
        << false << QStringList{u"request 20"_s, u"wait 10"_s, u"cancel"_s} << -1;
}

void PlaylistSyncRequestTest::debounce()
{
    QFETCH(bool, primed);
    QFETCH(QStringList, steps);
    QFETCH(int, passSecond);
    test::SyncHarness& h = *m_harness;
    PlaylistSync& sync = h.sync();
    if (primed) {
        QVERIFY(h.runPass());
        h.forgetLog();
    }

    std::chrono::milliseconds elapsed{0};
    for (const QString& step : std::as_const(steps)) {
        const QStringList words = step.split(u' ');
        if (words[0] == u"request") {
            sync.requestSync(std::chrono::seconds(words[1].toInt()), words.size() > 2);
        } else if (words[0] == u"wait") {
            settle(std::chrono::seconds(words[1].toInt()));
            elapsed += std::chrono::seconds(words[1].toInt());
        } else {
            sync.cancelSync();
        }
        QCOMPARE(passes(), 0);
    }

    if (passSecond < 0) {
        settle(60s);
        QVERIFY(h.finish());
        QCOMPARE(passes(), 0);
        return;
    }
    settle(std::chrono::seconds(passSecond) - elapsed - 1ms);
    QCOMPARE(passes(), 0);
    settle(1ms);
    QVERIFY(h.finish());
    QCOMPARE(passes(), 1);
}

void PlaylistSyncRequestTest::requestsDuringAPassGiveExactlyOneMore()
{
    test::SyncHarness& h = *m_harness;
    test::editAlbum(h.account, 101, [&](Album& album) { album.includeInPaper = true; });
    PlaylistSync& sync = h.sync();
    QList<bool> syncing;
    connect(&sync, &PlaylistSync::isSyncingChanged, this, [&] { syncing.append(sync.isSyncing()); });

    // The first photo is slow to come, which holds the pass while the requests arrive.
    QVERIFY(h.sandbox.addFault({{u"path"_s, u"/cdn/*"_s}, {u"delayMs"_s, 1500}, {u"times"_s, 1}}));
    sync.requestSync(0ms, false);
    QTRY_VERIFY_WITH_TIMEOUT(sync.isSyncing() && !h.cdnRequests().isEmpty(), 30'000);
    for (int i = 0; i < 5; ++i)
        sync.requestSync(0ms, true);
    QVERIFY(h.finish());

    QCOMPARE(h.syncLines(),
             (QStringList{
                 u"syncing 1 playlists, 12 photos at 1280x1024"_s,
                 u"synced 1 playlists: 12 photos, 12 downloaded, 0 failed, 12 in wallpaper, 0 in saver"_s,
                 u"syncing 1 playlists, 12 photos at 1280x1024"_s,
                 u"synced 1 playlists: 12 photos, 0 downloaded, 0 failed, 12 in wallpaper, 0 in saver"_s,
             }));
    QCOMPARE(syncing, (QList<bool>{true, false, true, false}));
    QCOMPARE(h.listingRequests().size(), 2);
    QCOMPARE(h.cdnRequests().size(), 12);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistSyncRequestTest)
#include "PlaylistSyncRequestTest.moc"
