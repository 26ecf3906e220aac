#include "widgets/ViewTask.h"
#include "state/ErrorSink.h"

#include <QCoroSignal>
#include <QTest>

#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;
using lumi::ViewTask;

namespace {

/// Writes down the failures it is handed, in a list that outlives it.
class RecordingErrorSink final : public lumi::ErrorSink
{
public:
    explicit RecordingErrorSink(QStringList& failures) : m_failures(failures) {}

    void handleActionError(std::exception_ptr error) override
    {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& caught) {
            m_failures.append(QString::fromUtf8(caught.what()));
        }
    }

private:
    QStringList& m_failures;
};

/// What a task waits for before it ends; the test opens it.
class Gate final : public QObject
{
    Q_OBJECT

signals:
    void opened();
};

QCoro::Task<int> answerAfter(Gate& gate, bool fails, bool& ended)
{
    co_await qCoro(&gate, &Gate::opened);
    ended = true;
    if (fails)
        throw std::runtime_error("refused");
    co_return 1;
}

} // namespace

/// The end of a task a view does not wait for: its failure reaches the error sink, unless the
/// sink has gone meanwhile.
class ViewTaskTest final : public QObject
{
    Q_OBJECT

private slots:
    void failureReachesTheSinkWhileItLives_data();
    void failureReachesTheSinkWhileItLives();
};

void ViewTaskTest::failureReachesTheSinkWhileItLives_data()
{
    QTest::addColumn<bool>("fails");
    QTest::addColumn<bool>("sinkGoneFirst");
    QTest::addColumn<QStringList>("reported");

    QTest::newRow("answered") << false << false << QStringList();
    QTest::newRow("failed") << true << false << QStringList{u"refused"_s};
    QTest::newRow("failed after the sink went") << true << true << QStringList();
}

void ViewTaskTest::failureReachesTheSinkWhileItLives()
{
    QFETCH(bool, fails);
    QFETCH(bool, sinkGoneFirst);
    QFETCH(QStringList, reported);

    QStringList failures;
    auto sink = std::make_unique<RecordingErrorSink>(failures);
    Gate gate;
    bool ended = false;
    ViewTask::start(*sink, answerAfter(gate, fails, ended));
    QVERIFY(failures.isEmpty());

    if (sinkGoneFirst)
        sink.reset();
    emit gate.opened();
    QTRY_VERIFY(ended);
    QCOMPARE(failures, reported);
}

QTEST_MAIN(ViewTaskTest)
#include "ViewTaskTest.moc"
