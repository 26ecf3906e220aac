#include "services/Updater.h"
#include "model/Defaults.h"
#include "model/DefaultsKeys.h"
#include "support/ManualClock.h"
#include "support/SandboxFixture.h"

#include <QCoreApplication>
#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::UpdateCheck;
using lumi::Updater;
using lumi::test::SandboxFixture;

Q_DECLARE_METATYPE(UpdateCheck::Outcome)

class UpdaterTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void judgesTheFeed_data();
    void judgesTheFeed();
    void refusesAFeedThatIsNotSecure();
    void looksThreeMinutesAfterStartThenTwiceADay();

private:
    void serveFeed(const QByteArray& feed);
    int feedRequests();

    std::unique_ptr<SandboxFixture> m_sandbox;
    // The app's session; the check must not open one of its own.
    QNetworkAccessManager m_network;
    lumi::test::ManualClock* m_clock = nullptr;
    std::unique_ptr<Updater> m_updater;
};

namespace {

QByteArray item(const QString& version, const QString& link)
{
    return (u"<item><title>Lumivale %1</title><sparkle:shortVersionString>%1</sparkle:shortVersionString>"
            "<description>What is new in %1</description>"
            "<enclosure url=\"%2\" sparkle:version=\"%1\" length=\"1\" type=\"application/octet-stream\"/></item>"_s)
        .arg(version, link)
        .toUtf8();
}

QByteArray feed(const QByteArray& items)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\" "
           "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
           "sparkle\"><channel><title>Lumivale</title>" +
           items + "</channel></rss>";
}

} // namespace

void UpdaterTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
    QCoreApplication::setApplicationVersion(u"2.4.0"_s);
    QUrl feedUrl = m_sandbox->serverUrl();
    feedUrl.setPath(u"/appcast.xml"_s);
    lumi::Defaults::shared().setValue(lumi::keys::updateUrl, feedUrl.toString());
    auto clock = std::make_unique<lumi::test::ManualClock>();
    m_clock = clock.get();
    m_updater = std::make_unique<Updater>(m_network, std::move(clock), lumi::Defaults::shared());
}

void UpdaterTest::cleanup()
{
    m_updater.reset();
    m_sandbox.reset();
}

void UpdaterTest::serveFeed(const QByteArray& body)
{
    QUrl control = m_sandbox->serverUrl();
    control.setPath(u"/__sandbox/appcast"_s);
    QCOMPARE(m_sandbox->fetch("PUT", control, body).status, 200);
}

int UpdaterTest::feedRequests()
{
    int count = 0;
    for (const QJsonValue& request : m_sandbox->requests()) {
        // Only the feed is ever fetched: nothing is downloaded.
        if (request[u"path"_s].toString() != u"/appcast.xml"_s)
            return -1;
        ++count;
    }
    return count;
}

void UpdaterTest::judgesTheFeed_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<UpdateCheck::Outcome>("outcome");
    QTest::addColumn<QString>("version");

    const QString page = u"https://lumivale.com/download"_s;
    QTest::newRow("newest of three") << feed(item(u"2.3.9"_s, page) + item(u"2.10.0"_s, page) +
                                             item(u"2.9.1"_s, page))
                                     << UpdateCheck::Outcome::newer << u"2.10.0"_s;
    QTest::newRow("same version") << feed(item(u"2.4.0"_s, page)) << UpdateCheck::Outcome::upToDate
                                  << u"2.4.0"_s;
    QTest::newRow("no items") << feed({}) << UpdateCheck::Outcome::upToDate << u"2.4.0"_s;
    QTest::newRow("broken XML") << QByteArray("<rss><channel><item>") << UpdateCheck::Outcome::failed
                                << QString();
    QTest::newRow("plain http link") << feed(item(u"3.0.0"_s, u"http://lumivale.com/download"_s))
                                     << UpdateCheck::Outcome::failed << QString();
}

void UpdaterTest::judgesTheFeed()
{
    QFETCH(QByteArray, body);
    QFETCH(UpdateCheck::Outcome, outcome);
    QFETCH(QString, version);

    serveFeed(body);
    QSignalSpy asked(&m_network, &QNetworkAccessManager::finished);
    const UpdateCheck check = QCoro::waitFor(m_updater->checkForUpdates());
    QCOMPARE(asked.count(), 1);
    QCOMPARE(check.outcome, outcome);
    QCOMPARE(check.version, version);
    QCOMPARE(check.error.isEmpty(), outcome != UpdateCheck::Outcome::failed);
    if (outcome == UpdateCheck::Outcome::newer) {
        QCOMPARE(check.downloadPage, QUrl(u"https://lumivale.com/download"_s));
        QCOMPARE(check.releaseNotes, u"What is new in 2.10.0"_s);
    }
    QCOMPARE(feedRequests(), 1);
}

void UpdaterTest::refusesAFeedThatIsNotSecure()
{
    lumi::Defaults::shared().setValue(lumi::keys::updateUrl, u"http://updates.example.com/appcast.xml"_s);
    const UpdateCheck check = QCoro::waitFor(m_updater->checkForUpdates());
    QCOMPARE(check.outcome, UpdateCheck::Outcome::failed);
    QVERIFY(check.error.contains(u"not a secure address"_s));
}

void UpdaterTest::looksThreeMinutesAfterStartThenTwiceADay()
{
    serveFeed(feed(item(u"9.0.0"_s, u"https://lumivale.com/download"_s)));
    QSignalSpy offers(m_updater.get(), &Updater::updateAvailable);
    m_updater->start();
    m_clock->advance(179s);
    QTest::qWait(100);
    QCOMPARE(feedRequests(), 0);
    m_clock->advance(1s);
    QTRY_COMPARE(offers.size(), 1);
    QCOMPARE(offers.first().first().value<UpdateCheck>().version, u"9.0.0"_s);
    m_clock->advance(12h);
    QTRY_COMPARE(offers.size(), 2);
    QCOMPARE(feedRequests(), 2);
}

QTEST_GUILESS_MAIN(UpdaterTest)
#include "UpdaterTest.moc"
