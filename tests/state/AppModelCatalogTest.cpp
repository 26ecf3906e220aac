#include "support/state/ModelHarness.h"
#include "support/state/RunTask.h"

#include <QJsonDocument>
#include <QTest>

using namespace Qt::StringLiterals;
using lumi::Album;
using lumi::AppModel;
using lumi::test::ModelHarness;
using lumi::test::runTask;
using lumi::test::SandboxFixture;

namespace {

// "title|fragment|externalId" per album.
QList<Album> albumsOf(const QStringList& descriptions)
{
    QList<Album> albums;
    qint64 id = 1;
    for (const QString& description : descriptions) {
        const QStringList parts = description.split(u'|');
        Album album;
        album.id = id++;
        album.title = parts.value(0);
        album.titleFragment = parts.value(1, album.title.toLower());
        if (!parts.value(2).isEmpty())
            album.externalId = parts.value(2);
        albums.append(album);
    }
    return albums;
}

} // namespace

class AppModelCatalogTest final : public QObject
{
    Q_OBJECT

private slots:
    void albumOrder_data();
    void albumOrder();
    void alertBecomesBannerOrFirstRunFlag_data();
    void alertBecomesBannerOrFirstRunFlag();
    void firstRunAlertsActOncePerSession();
    void dismissBannerOpensOnlyServiceLinks_data();
    void dismissBannerOpensOnlyServiceLinks();
};

void AppModelCatalogTest::albumOrder_data()
{
    QTest::addColumn<QStringList>("albums");
    QTest::addColumn<QStringList>("titles");

    QTest::newRow("favorites, recommended, then titles ignoring case")
        << QStringList{u"b"_s, u"A"_s, u"Favorites|favorites"_s, u"Z|z|system-recommended"_s}
        << QStringList{u"Favorites"_s, u"Z"_s, u"A"_s, u"b"_s};
    QTest::newRow("recommended among themselves by title")
        << QStringList{u"m|m|system-recommended"_s, u"c"_s, u"K|k|system-recommended"_s, u"a|a|other"_s}
        << QStringList{u"K"_s, u"m"_s, u"a"_s, u"c"_s};
    QTest::newRow("equal titles keep the server's order")
        << QStringList{u"trip|first"_s, u"Trip|second"_s, u"TRIP|third"_s}
        << QStringList{u"trip"_s, u"Trip"_s, u"TRIP"_s};
}

void AppModelCatalogTest::albumOrder()
{
    QFETCH(QStringList, albums);
    QFETCH(QStringList, titles);
    QList<Album> sorted = albumsOf(albums);
    std::stable_sort(sorted.begin(), sorted.end(), &AppModel::albumOrder);
    QStringList result;
    for (const Album& album : sorted)
        result.append(album.title);
    QCOMPARE(result, titles);
}

void AppModelCatalogTest::alertBecomesBannerOrFirstRunFlag_data()
{
    QTest::addColumn<QJsonObject>("alert");
    QTest::addColumn<QString>("banner");
    QTest::addColumn<bool>("onboarding");
    QTest::addColumn<bool>("tour");

    // The demo account's welcome is shown already; an alert that is not shown leaves it.
    const QString welcome = u"linux-welcome"_s;
    QTest::newRow("text") << QJsonObject{{u"uuid"_s, u"x"_s}, {u"title"_s, u"Hello"_s}} << u"x"_s << false
                          << false;
    QTest::newRow("two empty lines") << QJsonObject{{u"uuid"_s, u"x"_s},
                                                    {u"title"_s, u""_s},
                                                    {u"lines"_s, QJsonArray{u""_s, u""_s}}}
                                     << u"x"_s << false << false;
    QTest::newRow("no text") << QJsonObject{{u"uuid"_s, u"x"_s}} << welcome << false << false;
    QTest::newRow("completed") << QJsonObject{{u"uuid"_s, u"completed"_s}, {u"title"_s, u"Done"_s}} << welcome
                               << false << false;
    QTest::newRow("empty uuid") << QJsonObject{{u"uuid"_s, u""_s}, {u"title"_s, u"Hi"_s}} << welcome << false
                                << false;
    QTest::newRow("no uuid") << QJsonObject{{u"title"_s, u"Hi"_s}} << welcome << false << false;
    QTest::newRow("onboarding") << QJsonObject{{u"uuid"_s, u"onboarding"_s}, {u"title"_s, u"Hi"_s}} << welcome
                                << true << false;
    QTest::newRow("getting started") << QJsonObject{{u"uuid"_s, u"getting_started"_s}} << welcome << false
                                     << true;
}

void AppModelCatalogTest::alertBecomesBannerOrFirstRunFlag()
{
    QFETCH(QJsonObject, alert);
    QFETCH(QString, banner);
    QFETCH(bool, onboarding);
    QFETCH(bool, tour);

    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    AppModel& model = h.model();
    QCOMPARE(model.banner()->uuid, u"linux-welcome"_s);
    QVERIFY(h.sandbox.addFault(
        QJsonObject{{u"method"_s, u"GET"_s},
                    {u"path"_s, u"/api/v6/alerts"_s},
                    {u"status"_s, 200},
                    {u"body"_s, QString::fromUtf8(QJsonDocument(QJsonObject{{u"linux"_s, alert}}).toJson())},
                    {u"times"_s, 1}}));

    QVERIFY(!runTask(model.loadAlerts()));

    QCOMPARE(model.banner()->uuid, banner);
    QCOMPARE(h.guidance().onboardingDue(), onboarding);
    QCOMPARE(h.guidance().tourDue(), tour);
}

void AppModelCatalogTest::firstRunAlertsActOncePerSession()
{
    ModelHarness h;
    // The second account's queue starts with the onboarding alert.
    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    AppModel& model = h.model();
    lumi::Guidance& guidance = h.guidance();
    QVERIFY(guidance.onboardingDue());
    guidance.setOnboardingDue(false);

    QVERIFY(!runTask(model.loadAlerts()));
    QVERIFY(!guidance.onboardingDue());

    model.signOut();
    h.signIn(SandboxFixture::secondEmail, SandboxFixture::secondPassword);
    QVERIFY(guidance.onboardingDue());
    QCOMPARE(model.banner(), std::nullopt);
}

void AppModelCatalogTest::dismissBannerOpensOnlyServiceLinks_data()
{
    QTest::addColumn<std::optional<QString>>("link");
    QTest::addColumn<bool>("opened");

    QTest::newRow("service site") << std::optional<QString>(u"https://www.lumivale.com/linux"_s) << true;
    QTest::newRow("bare domain") << std::optional<QString>(u"https://lumivale.com/help"_s) << true;
    QTest::newRow("lookalike host") << std::optional<QString>(u"https://lumivale.com.example.net/"_s)
                                    << false;
    QTest::newRow("suffix without dot") << std::optional<QString>(u"https://evillumivale.com/"_s) << false;
    QTest::newRow("plain http") << std::optional<QString>(u"http://www.lumivale.com/"_s) << false;
    QTest::newRow("not a URL") << std::optional<QString>(u"https://www.lumivale.com/%zz"_s) << false;
    QTest::newRow("no link") << std::optional<QString>() << false;
}

void AppModelCatalogTest::dismissBannerOpensOnlyServiceLinks()
{
    QFETCH(std::optional<QString>, link);
    QFETCH(bool, opened);

    ModelHarness h;
    h.signIn(SandboxFixture::demoEmail, SandboxFixture::demoPassword);
    AppModel& model = h.model();
    lumi::ServerAlert alert;
    alert.uuid = u"x"_s;
    alert.title = u"Hello"_s;
    alert.link = link;
    model.setBanner(alert);
    h.sandbox.clearRequests();
    h.journal.clear();

    model.dismissBanner(true);
    QVERIFY(h.settle());

    QCOMPARE(model.banner(), std::nullopt);
    QCOMPARE(h.journal.calls(), opened ? QStringList{u"links.open(%1)"_s.arg(*link)} : QStringList());
    QCOMPARE(h.requestLines(), QStringList{u"POST /alerts"_s});

    // With no banner shown nothing happens at all.
    h.sandbox.clearRequests();
    model.dismissBanner(true);
    QVERIFY(h.settle());
    QCOMPARE(h.requestLines(), QStringList());
}

QTEST_MAIN(AppModelCatalogTest)
#include "AppModelCatalogTest.moc"
