#include "library/PlaylistMediaFetcher.h"
#include "library/PhotoFileNames.h"
#include "model/APIClient.h"
#include "model/APIError.h"
#include "model/Album.h"
#include "services/CrashReporter.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace lumi {

namespace {

const QString listingPath = u"/api/v6/media/playlists/trip"_s;

// A page of count photos numbered from first; each short id is the number in hex.
QString page(int first, int count)
{
    QJsonArray media;
    for (int i = first; i < first + count; ++i) {
        media.append(QJsonObject{{u"uuid"_s, u"%1-0000-4000-8000-000000000000"_s.arg(i, 8, 16, QChar(u'0'))},
                                 {u"title"_s, u"Photo"_s},
                                 {u"secure_base_url"_s, u"http://127.0.0.1:1/cdn/x/"_s}});
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{u"media"_s, media}}).toJson(QJsonDocument::Compact));
}

struct Outcome
{
    bool done = false;
    std::optional<QList<Medium>> media;
    std::optional<APIError::Kind> error;
};

QCoro::Task<void> list(PlaylistMediaFetcher* fetcher, Album album, Outcome* outcome)
{
    try {
        outcome->media = co_await fetcher->fetchPlaylistMedia(album, {});
    } catch (const APIError& error) {
        outcome->error = error.kind();
    }
    outcome->done = true;
}

} // namespace

class PlaylistMediaFetcherTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pagesOfFiveHundred_data();
    void pagesOfFiveHundred();
    void failedListingIsTriedAgainAfterOneTwoAndFourSeconds();
    void fragmentThatCantFormARequestIsNotRetried();

private:
    QStringList pagesAsked();

    std::unique_ptr<test::SandboxFixture> m_sandbox;
    std::unique_ptr<CrashReporter> m_reporter;
    std::unique_ptr<APIClient> m_api;
    std::unique_ptr<test::ManualClock> m_clock;
    std::unique_ptr<PlaylistMediaFetcher> m_fetcher;
    Album m_album;
};

void PlaylistMediaFetcherTest::initTestCase()
{
    m_sandbox = std::make_unique<test::SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void PlaylistMediaFetcherTest::init()
{
    m_sandbox->reset();
    m_reporter = std::make_unique<CrashReporter>();
    m_api = std::make_unique<APIClient>(*m_reporter);
    m_api->setToken(m_sandbox->signInToken());
    m_clock = std::make_unique<test::ManualClock>();
    m_fetcher = std::make_unique<PlaylistMediaFetcher>(*m_api, *m_clock);
    m_album = Album{};
    m_album.id = 300;
    m_album.title = u"Trip"_s;
    m_album.titleFragment = u"trip"_s;
    m_sandbox->clearRequests();
}

void PlaylistMediaFetcherTest::cleanup()
{
    m_fetcher.reset();
    m_clock.reset();
    m_api.reset();
    m_reporter.reset();
}

QStringList PlaylistMediaFetcherTest::pagesAsked()
{
    QStringList pages;
    for (const QJsonValue& request : m_sandbox->requests()) {
        if (request[u"path"_s].toString() == listingPath)
            pages.append(request[u"query"_s].toString());
    }
    return pages;
}

void PlaylistMediaFetcherTest::pagesOfFiveHundred_data()
{
    QTest::addColumn<QStringList>("pages"); // answered in turn; the last one for every later page
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("kept");

    QTest::newRow("501 photos take two pages") << QStringList{page(0, 500), page(500, 1)} << 2 << 501;
    QTest::newRow("exactly 500 ask for an empty second page")
        << QStringList{page(0, 500), page(0, 0)} << 2 << 500;
    QTest::newRow("ten full pages are the most") << QStringList{page(0, 500)} << 10 << 500;
    QTest::newRow("a page over 500 is the last, cut to 500")
        << QStringList{page(0, 501), page(600, 5)} << 1 << 500;
    // The same photo again, and another whose id differs only in case and past the first 8.
    const QString again = u"{\"media\":[{\"uuid\":\"0000000A-1\",\"title\":\"Photo\"},"
                          u"{\"uuid\":\"00000001-x\",\"title\":\"Other\"},"
                          u"{\"uuid\":\"0000000a-2\",\"title\":\"Photo\"}]}"_s;
    QTest::newRow("one photo per file name") << QStringList{page(0, 500), again} << 2 << 501;
}

void PlaylistMediaFetcherTest::pagesOfFiveHundred()
{
    QFETCH(QStringList, pages);
    QFETCH(int, asked);
    QFETCH(int, kept);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        QJsonObject fault{
            {u"method"_s, u"GET"_s}, {u"path"_s, listingPath}, {u"status"_s, 200}, {u"body"_s, pages[i]}};
        if (i + 1 < pages.size())
            fault.insert(u"times"_s, 1);
        QVERIFY(m_sandbox->addFault(fault));
    }

    Outcome outcome;
    const QCoro::Task<void> task = list(m_fetcher.get(), m_album, &outcome);
    QTRY_VERIFY_WITH_TIMEOUT(outcome.done, 30'000);

    QVERIFY(outcome.media);
    QCOMPARE(outcome.media->size(), kept);
    QStringList expected;
    for (int number = 1; number <= asked; ++number)
        expected.append(u"page=%1&per_page=500"_s.arg(number));
    QCOMPARE(pagesAsked(), expected);
    QSet<QString> names;
    for (const Medium& photo : std::as_const(*outcome.media))
        names.insert(PhotoFileNames::photoFileName(photo).value_or(QString()));
    QCOMPARE(names.size(), kept);
}

void PlaylistMediaFetcherTest::failedListingIsTriedAgainAfterOneTwoAndFourSeconds()
{
    QVERIFY(m_sandbox->addFault({{u"method"_s, u"GET"_s}, {u"path"_s, listingPath}, {u"status"_s, 503}}));
    Outcome outcome;
    const QCoro::Task<void> task = list(m_fetcher.get(), m_album, &outcome);

    for (const std::chrono::milliseconds wait : {1000ms, 2000ms, 4000ms}) {
        QTRY_COMPARE_WITH_TIMEOUT(m_clock->sleeperCount(), 1, 30'000);
        const qsizetype asked = pagesAsked().size();
        m_clock->advance(wait - 1ms);
        QTest::qWait(50);
        QCOMPARE(pagesAsked().size(), asked);
        m_clock->advance(1ms);
        QTRY_COMPARE(pagesAsked().size(), asked + 1);
    }
    QTRY_VERIFY(outcome.done);
    QVERIFY(!outcome.media);
    QVERIFY(!outcome.error);
    QCOMPARE(pagesAsked().size(), 4);
    QCOMPARE(m_clock->sleeperCount(), 0);
}

void PlaylistMediaFetcherTest::fragmentThatCantFormARequestIsNotRetried()
{
    m_album.titleFragment = u".."_s;
    Outcome outcome;
    const QCoro::Task<void> task = list(m_fetcher.get(), m_album, &outcome);
    QTRY_VERIFY(outcome.done);
    QCOMPARE(outcome.error, std::optional(APIError::Kind::InvalidRequest));
    QCOMPARE(m_clock->sleeperCount(), 0);
    QCOMPARE(m_sandbox->requests().size(), 0);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PlaylistMediaFetcherTest)
#include "PlaylistMediaFetcherTest.moc"
