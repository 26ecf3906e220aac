#include "PhotoRenderer.h"

#include <QImage>
#include <QtTest>

using namespace Qt::StringLiterals;
using lumi::sandbox::PhotoRenderer;

class PhotoRendererTest final : public QObject
{
    Q_OBJECT

private slots:
    void labelStaysInTheTopRightCorner_data();
    void labelStaysInTheTopRightCorner();
};

void PhotoRendererTest::labelStaysInTheTopRightCorner_data()
{
    QTest::addColumn<QSize>("size");

    QTest::newRow("wallpaper") << QSize(1920, 1080);
    QTest::newRow("portrait") << QSize(1080, 1920);
    QTest::newRow("thumbnail") << QSize(640, 360);
}

// The same photo with two titles differs only where its label is: the app's title (bottom left),
// its calendar and the sign-in taglines never sit on top of a baked-in text.
void PhotoRendererTest::labelStaysInTheTopRightCorner()
{
    QFETCH(QSize, size);

    const QString uuid = u"0b5f7c2e-1111-4222-8333-944455556666"_s;
    const QImage brief =
        QImage::fromData(PhotoRenderer::renderJpeg(uuid, u"Lake"_s, size.width(), size.height()));
    const QImage lengthy = QImage::fromData(PhotoRenderer::renderJpeg(
        uuid, u"A Much Longer Title Over the Mountains at Dusk"_s, size.width(), size.height()));
    QCOMPARE(brief.size(), size);
    QCOMPARE(lengthy.size(), size);

    // The label takes at most two fifths of the width; JPEG blocks smear a difference a little.
    const int smear = 32;
    const QRect corner(size.width() * 3 / 5 - smear, 0, size.width() * 2 / 5 + smear,
                       size.height() / 12 + smear);
    QRect changed;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (brief.pixel(x, y) != lengthy.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(!changed.isEmpty(), "the label shows no title");
    QVERIFY2(corner.contains(changed), qPrintable(u"changed %1,%2 %3x%4"_s.arg(changed.x())
                                                      .arg(changed.y())
                                                      .arg(changed.width())
                                                      .arg(changed.height())));
}

QTEST_MAIN(PhotoRendererTest)
#include "PhotoRendererTest.moc"
