#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using lumi::AppModel;
using lumi::Medium;
using lumi::test::ModelHarness;
using lumi::test::runTask;

namespace {

const QString genericShareFailure =
    u"Couldn't send the photo. Check the address and your internet connection, then try again."_s;

} // namespace

class AppModelSharingTest final : public QObject
{
    Q_OBJECT

private slots:
    void emailPhoto_data();
    void emailPhoto();
};

void AppModelSharingTest::emailPhoto_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QJsonObject>("fault");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("shown"); // empty: success
    QTest::addColumn<bool>("signedOut");

    const QString address = u"friend@example.test"_s;
    const auto failing = [](int status, const QString& body) {
        QJsonObject fault{{u"path"_s, u"/api/v6/shares"_s}, {u"status"_s, status}};
        if (!body.isNull())
            fault.insert(u"body"_s, body);
        return fault;
    };
    QTest::newRow("blanks and tabs trimmed")
        << u" \tfriend@example.test \t"_s << QJsonObject() << address << QString() << false;
    QTest::newRow("line break kept") << u"friend@example.test\n"_s << QJsonObject()
                                     << u"friend@example.test\n"_s << QString() << false;
    QTest::newRow("422 with a message: shown as it came")
        << address << failing(422, uR"({"error": "That address can't receive mail."})"_s) << address
        << u"That address can't receive mail."_s << false;
    QTest::newRow("404 with a message") << address << failing(404, uR"({"message": "No such photo."})"_s)
                                        << address << u"No such photo."_s << false;
    QTest::newRow("422 without a message")
        << address << failing(422, u"{}"_s) << address << genericShareFailure << false;
    QTest::newRow("500 with a message") << address << failing(500, uR"({"error": "Mail is down."})"_s)
                                        << address << genericShareFailure << false;
    QTest::newRow("401 signs out") << address << failing(401, QString()) << address << genericShareFailure
                                   << true;
    QTest::newRow("no connection") << address
                                   << QJsonObject{{u"path"_s, u"/api/v6/shares"_s}, {u"drop"_s, true}}
                                   << address << genericShareFailure << false;
}

void AppModelSharingTest::emailPhoto()
{
    QFETCH(QString, address);
    QFETCH(QJsonObject, fault);
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    QFETCH(bool, signedOut);

    ModelHarness h;
    AppModel& model = h.launchSignedIn();
    const Medium photo = h.catalogPhotos(1).value(0);
    if (!fault.isEmpty())
        QVERIFY(h.sandbox.addFault(fault));

    std::optional<std::optional<QString>> result;
    QVERIFY(!runTask(model.emailPhoto(photo, address, u"Look at this!\n"_s), result));
    QVERIFY(h.settle());

    QCOMPARE(*result, shown.isEmpty() ? std::nullopt : std::optional<QString>(shown));
    const QJsonArray requests = h.apiRequests();
    QCOMPARE(requests.first()[u"path"_s].toString(), u"/api/v6/shares"_s);
    QCOMPARE(
        ModelHarness::bodyOf(requests.first()),
        (QJsonObject{{u"muuid"_s, photo.uuid}, {u"email"_s, sent}, {u"comment"_s, u"Look at this!\n"_s}}));
    QCOMPARE(model.phase() == AppModel::Phase::signedOut, signedOut);
    // The sheet shows the outcome, never an alert; the menu shows offline only when no answer came.
    QCOMPARE(model.alert(), std::nullopt);
    QCOMPARE(model.isOffline(), fault.value(u"drop"_s).toBool());
}

QTEST_MAIN(AppModelSharingTest)
#include "AppModelSharingTest.moc"
