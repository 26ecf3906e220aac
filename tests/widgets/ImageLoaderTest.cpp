#include "widgets/ImageLoader.h"
#include "support/ForeignHost.h"
#include "support/SandboxFixture.h"

#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using lumi::ImageLoader;
using lumi::test::SandboxFixture;

/// The loader of the pictures views show (the sign-in photo among them) over the sandbox's CDN.
class ImageLoaderTest final : public QObject
{
    Q_OBJECT

private slots:
    void followsRedirectsOnlyToAllowedAddresses_data();
    void followsRedirectsOnlyToAllowedAddresses();
};

void ImageLoaderTest::followsRedirectsOnlyToAllowedAddresses_data()
{
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("loads");

    QTest::newRow("no redirect") << QString() << true;
    QTest::newRow("to the same CDN") << u"cdn"_s << true;
    QTest::newRow("to another host over http") << u"elsewhere"_s << false;
}

void ImageLoaderTest::followsRedirectsOnlyToAllowedAddresses()
{
    QFETCH(QString, to);
    QFETCH(bool, loads);

    SandboxFixture sandbox;
    QVERIFY2(sandbox.isRunning(), qPrintable(sandbox.errorString()));
    lumi::test::ForeignHost elsewhere;
    QVERIFY(elsewhere.isListening());
    const QString photo = u"/cdn/212043f1-bd79-432e-9fb8-1513f8c0ba20/640x360.jpg"_s;
    const QUrl asked = sandbox.serverUrl().resolved(QUrl(u"/cdn/moved/640x360.jpg"_s));
    if (!to.isEmpty()) {
        const QUrl target = to == u"cdn"_s ? sandbox.serverUrl().resolved(QUrl(photo)) : elsewhere.url(photo);
        // Every time, as a real CDN answers: Qt may send a redirected request twice.
        QVERIFY(sandbox.addFault({{u"path"_s, asked.path()}, {u"redirect"_s, target.toString()}}));
    }

    QNetworkAccessManager network;
    const QUrl url = to.isEmpty() ? sandbox.serverUrl().resolved(QUrl(photo)) : asked;
    const std::optional<QImage> image = QCoro::waitFor(ImageLoader::load(network, url, QSize(320, 180)));
    QCOMPARE(image.has_value(), loads);
    QCOMPARE(elsewhere.knocks(), 0);
}

QTEST_MAIN(ImageLoaderTest)
#include "ImageLoaderTest.moc"
