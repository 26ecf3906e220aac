#include "imaging/PhotoDecoder.h"
#include "support/TestFiles.h"
#include "support/TestImages.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

// Red in its upper half and blue in its lower half once upright: stored on its side (red left),
// with EXIF orientation 6, as a camera held upright writes it.
QByteArray turnedPhoto(QSize upright)
{
    QImage stored(upright.transposed(), QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, stored.width() / 2, stored.height(), Qt::red);
    return test::withExifOrientation(test::jpegOf(stored), 6);
}

bool isRed(const QColor& c)
{
    return c.red() > 200 && c.blue() < 60;
}

bool isBlue(const QColor& c)
{
    return c.blue() > 200 && c.red() < 60;
}

} // namespace

class PhotoDecoderTest final : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void unreadableFileSaysWhy();
    void rectangles_data();
    void rectangles();

private:
    QTemporaryDir m_dir;
};

void PhotoDecoderTest::decodes_data()
{
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QSize>("asked"); // "within": the width is the larger side's bound
    QTest::addColumn<QSize>("expected");

    const QSize small(200, 400);
    QTest::newRow("within a larger bound: never enlarged")
        << small << u"within"_s << QSize(1000, 0) << QSize(200, 400);
    QTest::newRow("within a smaller bound: shrunk, aspect kept")
        << small << u"within"_s << QSize(100, 0) << QSize(50, 100);
    QTest::newRow("at a smaller size") << small << u"at"_s << QSize(30, 40) << QSize(30, 40);
    QTest::newRow("at a larger size: scaled after the decode")
        << small << u"at"_s << QSize(300, 600) << QSize(300, 600);
    QTest::newRow("covering a square: cut around the centre")
        << small << u"covering"_s << QSize(100, 100) << QSize(100, 100);
    QTest::newRow("covering a larger area") << small << u"covering"_s << QSize(300, 500) << QSize(300, 500);
    // Megabytes of pixels: decoded into a bitmap of their own.
    const QSize large(1600, 2400);
    QTest::newRow("large, at its own size") << large << u"at"_s << large << large;
    QTest::newRow("large, at half its size: scaled by the decoder")
        << large << u"at"_s << QSize(800, 1200) << QSize(800, 1200);
    QTest::newRow("large, covering a wide area")
        << large << u"covering"_s << QSize(1500, 1000) << QSize(1500, 1000);
}

void PhotoDecoderTest::decodes()
{
    QFETCH(QSize, photo);
    QFETCH(QString, how);
    QFETCH(QSize, asked);
    QFETCH(QSize, expected);

    const QString path = m_dir.filePath(u"turned.jpg"_s);
    QVERIFY(test::writeFile(path, turnedPhoto(photo)));
    PhotoDecoder decoder(path);
    QCOMPARE(decoder.size(), photo);

    QString error;
    const QImage image = how == u"within"_s ? decoder.decodeWithin(asked.width(), &error)
                         : how == u"at"_s   ? decoder.decodeAt(asked, &error)
                                            : decoder.decodeCovering(asked, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.size(), expected);
    if (how == u"covering"_s)
        QCOMPARE(image.format(), QImage::Format_RGB32);
    const int x = image.width() / 2;
    QVERIFY(isRed(image.pixelColor(x, image.height() / 8)));
    QVERIFY(isBlue(image.pixelColor(x, image.height() * 7 / 8)));
}

void PhotoDecoderTest::unreadableFileSaysWhy()
{
    const QString path = m_dir.filePath(u"notes.jpg"_s);
    QVERIFY(test::writeFile(path, "not a photo"));
    PhotoDecoder decoder(path);
    QVERIFY(!decoder.size().isValid());
    QString error;
    QVERIFY(decoder.decodeWithin(100, &error).isNull());
    QVERIFY2(error.startsWith(u"not an image: "_s), qPrintable(error));
    QCOMPARE(error, decoder.problem());
}

void PhotoDecoderTest::rectangles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("outer"); // the canvas; for "crop" the picture
    QTest::addColumn<QSize>("inner"); // the picture; for "crop" the target
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("cover: a wide photo overflows above and below")
        << u"cover"_s << QSize(200, 100) << QSize(400, 300) << QRectF(0, -25, 200, 150);
    QTest::newRow("cover: an upright photo overflows left and right")
        << u"cover"_s << QSize(200, 100) << QSize(100, 200) << QRectF(0, -150, 200, 400);
    QTest::newRow("cover: a small photo is enlarged")
        << u"cover"_s << QSize(200, 100) << QSize(20, 10) << QRectF(0, 0, 200, 100);
    QTest::newRow("contain: bars left and right")
        << u"contain"_s << QSize(200, 100) << QSize(400, 300) << QRectF(100 / 3.0, 0, 400 / 3.0, 100);
    QTest::newRow("contain: bars above and below")
        << u"contain"_s << QSize(100, 200) << QSize(400, 300) << QRectF(0, 62.5, 100, 75);
    QTest::newRow("contain: an empty photo takes the canvas")
        << u"contain"_s << QSize(200, 100) << QSize(0, 0) << QRectF(0, 0, 200, 100);
    QTest::newRow("crop: a wide picture loses its sides")
        << u"crop"_s << QSize(1000, 500) << QSize(100, 100) << QRectF(250, 0, 500, 500);
    QTest::newRow("crop: a tall picture loses top and bottom")
        << u"crop"_s << QSize(400, 300) << QSize(200, 100) << QRectF(0, 50, 400, 200);
    QTest::newRow("crop: nothing to crop to") << u"crop"_s << QSize(400, 300) << QSize(0, 100) << QRectF();
}

void PhotoDecoderTest::rectangles()
{
    QFETCH(QString, kind);
    QFETCH(QSize, outer);
    QFETCH(QSize, inner);
    QFETCH(QRectF, expected);

    const QRectF actual = kind == u"cover"_s     ? PhotoDecoder::coverRect(outer, inner)
                          : kind == u"contain"_s ? PhotoDecoder::containRect(outer, inner)
                                                 : QRectF(PhotoDecoder::coverCrop(outer, inner));
    QCOMPARE(actual, expected);
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::PhotoDecoderTest)
#include "PhotoDecoderTest.moc"
