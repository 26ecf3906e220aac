#include "wallpaper/AlphaShadow.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace lumi;

namespace {

// The share of a unit Gaussian below x.
double normalCdf(double x)
{
    return 0.5 * (1 + std::erf(x / std::sqrt(2.0)));
}

} // namespace

class AlphaShadowTest final : public QObject
{
    Q_OBJECT

private slots:
    void blurFollowsGaussian_data();
    void blurFollowsGaussian();
    void paintShowsOnlyTheShadow_data();
    void paintShowsOnlyTheShadow();
};

void AlphaShadowTest::blurFollowsGaussian_data()
{
    QTest::addColumn<double>("sigma");
    QTest::newRow("sigma 1") << 1.0;
    QTest::newRow("sigma 3") << 3.0;
    QTest::newRow("sigma 8.5") << 8.5;
}

void AlphaShadowTest::blurFollowsGaussian()
{
    QFETCH(double, sigma);

    // A half-plane edge at x = 100: the blurred profile is the Gaussian's cumulative distribution.
    QImage mask(240, 40, QImage::Format_Alpha8);
    mask.fill(0);
    for (int y = 0; y < mask.height(); ++y)
        memset(mask.scanLine(y) + 100, 255, 140);
    AlphaShadow::blurAlpha(mask, sigma);

    for (double offset : {-3 * sigma - 1, -sigma, -1.0, 0.0, sigma, 3 * sigma + 1}) {
        const int x = 100 + int(std::floor(offset));
        const double expected = 255 * normalCdf((x + 0.5 - 100) / sigma);
        const int actual = mask.constScanLine(20)[x];
        QVERIFY2(std::abs(actual - expected) <= 12,
                 qPrintable(QString::number(actual) + u" at "_s + QString::number(x)));
    }
}

void AlphaShadowTest::paintShowsOnlyTheShadow_data()
{
    QTest::addColumn<double>("blur");
    QTest::newRow("narrow") << 4.0;
    QTest::newRow("wide, blurred at reduced size") << 40.0;
}

void AlphaShadowTest::paintShowsOnlyTheShadow()
{
    QFETCH(double, blur);

    QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.scale(2, 2);
    const QColor red = QColor::fromRgbF(1, 0, 0, 0.5f);
    const QRectF inside(20, 20, 100, 100);      // device 40..240
    const QRectF pastTheEdge(201, 20, 50, 100); // device 402..502, just right of the image
    for (const QRectF& shape : {inside, pastTheEdge})
        AlphaShadow::paint(painter, shape, blur, red, [&](QPainter& mask) { mask.drawRect(shape); });
    painter.end();

    // Inside the shape only the shadow's colour shows, never the opaque shape.
    const QRgb centre = image.pixel(140, 140);
    QVERIFY(std::abs(qAlpha(centre) - 128) <= 3 && std::abs(qRed(centre) - 128) <= 3 && qGreen(centre) == 0);
    // Just past the shape's edge a little under half of it.
    const double edge = 128 * normalCdf(-0.5 / (blur / 2));
    QVERIFY(std::abs(qAlpha(image.pixel(240, 140)) - edge) <= 10);
    // Far from both shapes nothing.
    QCOMPARE(qAlpha(image.pixel(330, 280)), 0);
    // A shape just off the image still casts its shadow in.
    QVERIFY(qAlpha(image.pixel(399, 140)) >= 8);
}

QTEST_MAIN(AlphaShadowTest)
#include "AlphaShadowTest.moc"
