#include "widgets/AlertBanner.h"
#include "support/state/ModelHarness.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::AlertBanner;
using lumi::ServerAlert;
using lumi::test::ModelHarness;

class AlertBannerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void linksOpenOnlyOnTheServiceSite_data();
    void linksOpenOnlyOnTheServiceSite();
    void showsServerTextsAsPlainText();
    void leavesOutWhatTheAlertLacks_data();
    void leavesOutWhatTheAlertLacks();

private:
    AlertBanner& banner();
    template <typename T> T* child(const QString& name) { return banner().findChild<T*>(name); }

    std::unique_ptr<ModelHarness> m_harness;
    std::unique_ptr<AlertBanner> m_banner;
};

void AlertBannerTest::init()
{
    m_harness = std::make_unique<ModelHarness>();
    QVERIFY2(m_harness->sandbox.isRunning(), qPrintable(m_harness->sandbox.errorString()));
    m_harness->launchSignedIn();
}

void AlertBannerTest::cleanup()
{
    m_banner.reset();
    m_harness.reset();
}

AlertBanner& AlertBannerTest::banner()
{
    if (!m_banner) {
        m_banner = std::make_unique<AlertBanner>(m_harness->model());
        m_banner->resize(900, 80);
    }
    return *m_banner;
}

void AlertBannerTest::linksOpenOnlyOnTheServiceSite_data()
{
    QTest::addColumn<QVariant>("link");   // invalid: the alert has none
    QTest::addColumn<QString>("control"); // what is clicked: the text, the link button or the close button
    QTest::addColumn<bool>("opened");

    QTest::newRow("the service's site") << QVariant(u"https://lumivale.com/news"_s) << u"text"_s << true;
    QTest::newRow("a subdomain, by the button")
        << QVariant(u"https://www.lumivale.com/news"_s) << u"button"_s << true;
    QTest::newRow("a subdomain two levels deep")
        << QVariant(u"https://help.eu.lumivale.com/a"_s) << u"text"_s << true;
    QTest::newRow("plain http") << QVariant(u"http://lumivale.com/news"_s) << u"text"_s << false;
    QTest::newRow("a domain that only ends the same")
        << QVariant(u"https://notlumivale.com/news"_s) << u"button"_s << false;
    QTest::newRow("the service's name inside another domain")
        << QVariant(u"https://lumivale.com.example.test/"_s) << u"text"_s << false;
    QTest::newRow("a script") << QVariant(u"javascript:alert(1)"_s) << u"text"_s << false;
    QTest::newRow("not an address") << QVariant(u"https://lumi vale.com/"_s) << u"text"_s << false;
    QTest::newRow("no link, by the button") << QVariant() << u"button"_s << false;
    QTest::newRow("the close button never opens")
        << QVariant(u"https://lumivale.com/news"_s) << u"close"_s << false;
}

void AlertBannerTest::linksOpenOnlyOnTheServiceSite()
{
    QFETCH(QVariant, link);
    QFETCH(QString, control);
    QFETCH(bool, opened);

    ServerAlert alert{.uuid = u"a-1"_s,
                      .title = u"News"_s,
                      .lines = QStringList{u"Read all about it."_s},
                      .linkTitle = u"Read more"_s};
    if (link.isValid())
        alert.link = link.toString();
    m_harness->model().setBanner(alert);
    banner().show();
    QVERIFY(banner().isVisible());

    QWidget* clicked = control == u"text"_s     ? child<QWidget>(u"banner.text"_s)
                       : control == u"button"_s ? child<QWidget>(u"banner.link"_s)
                                                : child<QWidget>(u"banner.close"_s);
    QVERIFY(clicked && clicked->isVisible());
    QTest::mouseClick(clicked, Qt::LeftButton);
    QVERIFY(m_harness->settle());

    QVERIFY(!m_harness->model().banner());
    QVERIFY(!banner().isVisible());
    const QStringList openings = m_harness->journal.calls().filter(u"links.open"_s);
    QCOMPARE(openings, opened ? QStringList{u"links.open(%1)"_s.arg(link.toString())} : QStringList());
    // Handled either way, and told to the server once.
    QCOMPARE(m_harness->requestLines().count(u"POST /alerts"_s), 1);

    // A second click finds nothing left to dismiss.
    QTest::mouseClick(clicked, Qt::LeftButton);
    QVERIFY(m_harness->settle());
    QCOMPARE(m_harness->requestLines().count(u"POST /alerts"_s), 1);
}

void AlertBannerTest::showsServerTextsAsPlainText()
{
    m_harness->model().setBanner(
        ServerAlert{.uuid = u"a-2"_s,
                    .title = u"<b>Sale</b> & <i>more</i>"_s,
                    .lines = QStringList{u"Maintenance tonight."_s, u"Sync may pause."_s},
                    .linkTitle = u"Terms & Conditions"_s,
                    .link = u"https://lumivale.com/terms"_s});
    banner().show();
    auto* title = child<QLabel>(u"banner.title"_s);
    auto* body = child<QLabel>(u"banner.body"_s);
    QCOMPARE(title->textFormat(), Qt::PlainText);
    QCOMPARE(title->text(), u"<b>Sale</b> & <i>more</i>"_s);
    QCOMPARE(body->textFormat(), Qt::PlainText);
    QCOMPARE(body->text(), u"Maintenance tonight. Sync may pause."_s);
    // "&" in a button title would mark a mnemonic and vanish.
    QCOMPARE(child<QPushButton>(u"banner.link"_s)->text(), u"Terms && Conditions"_s);
}

void AlertBannerTest::leavesOutWhatTheAlertLacks_data()
{
    QTest::addColumn<QVariant>("title");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QVariant>("linkTitle");
    QTest::addColumn<bool>("titleShown");
    QTest::addColumn<bool>("bodyShown");
    QTest::addColumn<bool>("buttonShown");

    QTest::newRow("nothing but a close button")
        << QVariant() << QStringList() << QVariant() << false << false << false;
    QTest::newRow("empty title and lines") << QVariant(QString()) << QStringList{QString(), QString()}
                                           << QVariant(QString()) << false << true << false;
    QTest::newRow("all of it") << QVariant(u"Hello"_s) << QStringList{u"A line."_s} << QVariant(u"More"_s)
                               << true << true << true;
}

void AlertBannerTest::leavesOutWhatTheAlertLacks()
{
    QFETCH(QVariant, title);
    QFETCH(QStringList, lines);
    QFETCH(QVariant, linkTitle);
    QFETCH(bool, titleShown);
    QFETCH(bool, bodyShown);
    QFETCH(bool, buttonShown);

    ServerAlert alert{.uuid = u"a-3"_s, .link = u"https://lumivale.com/"_s};
    if (title.isValid())
        alert.title = title.toString();
    if (!lines.isEmpty())
        alert.lines = lines;
    if (linkTitle.isValid())
        alert.linkTitle = linkTitle.toString();
    m_harness->model().setBanner(alert);
    banner().show();
    QCOMPARE(child<QLabel>(u"banner.title"_s)->isVisible(), titleShown);
    QCOMPARE(child<QLabel>(u"banner.body"_s)->isVisible(), bodyShown);
    QCOMPARE(child<QPushButton>(u"banner.link"_s)->isVisible(), buttonShown);
    QVERIFY(child<QPushButton>(u"banner.close"_s)->isVisible());
}

QTEST_MAIN(AlertBannerTest)
#include "AlertBannerTest.moc"
