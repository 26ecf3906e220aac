#include "model/ReplyFinished.h"

#include "support/SandboxFixture.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace lumi::test {

namespace {

struct Ending
{
    int resumed = 0;
    bool finished = false;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
};

// Its task is dropped at once, so the frame is freed as soon as the coroutine ends, as a caller's
// would be: a second resumption would then run freed memory.
QCoro::Task<void> awaitEnd(QNetworkReply* reply, Ending* ending)
{
    co_await ReplyFinished(reply);
    ++ending->resumed;
    ending->finished = reply->isFinished();
    ending->error = reply->error();
    reply->deleteLater();
}

} // namespace

class ReplyFinishedTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void goesOnOnceHoweverTheReplyEnds_data();
    void goesOnOnceHoweverTheReplyEnds();

private:
    std::unique_ptr<SandboxFixture> m_sandbox;
};

void ReplyFinishedTest::init()
{
    m_sandbox = std::make_unique<SandboxFixture>();
    QVERIFY2(m_sandbox->isRunning(), qPrintable(m_sandbox->errorString()));
}

void ReplyFinishedTest::cleanup()
{
    m_sandbox.reset();
}

void ReplyFinishedTest::goesOnOnceHoweverTheReplyEnds_data()
{
    QTest::addColumn<bool>("empty");    // an empty address, whose failure comes a turn later
    QTest::addColumn<int>("delayMs");   // the sandbox holds its answer this long
    QTest::addColumn<int>("timeoutMs"); // the request's transfer timeout; 0 for none
    QTest::addColumn<int>("aborts");    // once the request is out
    QTest::addColumn<QNetworkReply::NetworkError>("error");

    const auto cancelled = QNetworkReply::OperationCanceledError;
    QTest::newRow("answered") << false << 0 << 0 << 0 << QNetworkReply::NoError;
    // Such a reply reports its end once for the abort and again when its failure comes.
    QTest::newRow("aborted before its failure comes") << true << 0 << 0 << 1 << cancelled;
    QTest::newRow("aborted twice while the server holds the answer") << false << 5000 << 0 << 2 << cancelled;
    QTest::newRow("timed out while the server holds the answer") << false << 5000 << 200 << 0 << cancelled;
}

void ReplyFinishedTest::goesOnOnceHoweverTheReplyEnds()
{
    QFETCH(bool, empty);
    QFETCH(int, delayMs);
    QFETCH(int, timeoutMs);
    QFETCH(int, aborts);
    QFETCH(QNetworkReply::NetworkError, error);

    QUrl url;
    if (!empty) {
        const QString path = u"/api/v6/ping"_s;
        QVERIFY(m_sandbox->addFault({{u"path"_s, path}, {u"status"_s, 200}, {u"delayMs"_s, delayMs}}));
        url = m_sandbox->serverUrl().resolved(QUrl(path));
    }
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(timeoutMs);
    QNetworkReply* reply = network.get(request);
    const QPointer<QNetworkReply> watched(reply);
    Ending ending;
    awaitEnd(reply, &ending);

    if (!empty && aborts > 0)
        QTRY_COMPARE(m_sandbox->requests().size(), 1);
    for (int i = 0; i < aborts; ++i)
        reply->abort();
    const int resumedInAbort = ending.resumed;

    // The coroutine deletes the reply: every report of its end has come by then.
    QTRY_VERIFY(!watched);
    QCOMPARE(ending.resumed, 1);
    QVERIFY(ending.finished);
    QCOMPARE(ending.error, error);
    // Never inside the abort: whoever aborts may be on its way out.
    QCOMPARE(resumedInAbort, 0);
}

} // namespace lumi::test

QTEST_GUILESS_MAIN(lumi::test::ReplyFinishedTest)

#include "ReplyFinishedTest.moc"
