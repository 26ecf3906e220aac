#include "wallpaper/WallpaperComposer.h"
#include "support/FileSizeLimit.h"
#include "support/TestFiles.h"
#include "support/TestImages.h"
#include "wallpaper/CalendarRenderer.h"

#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(lumi::ScreenGeometry)
Q_DECLARE_METATYPE(std::optional<lumi::CalendarOverlay>)

using namespace Qt::StringLiterals;

namespace lumi {

namespace {

const QColor orange(230, 120, 30);
const QColor grey(100, 100, 100);
const QColor sea(40, 120, 200);
const WallpaperFit fitted(WallpaperFit::fit);
const WallpaperFit filled(WallpaperFit::fill);

ScreenGeometry screen(double width, double height, double scale = 1, double top = 0, double bottom = 0,
                      double left = 0, double right = 0)
{
    return {width, height, top, left, bottom, right, scale};
}

bool near(const QColor& actual, const QColor& expected, int tolerance = 12)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor& color)
{
    return u"(%1, %2, %3)"_s.arg(color.red()).arg(color.green()).arg(color.blue());
}

// The smallest rectangle holding every pixel that passes.
template <typename Test> QRect boxOf(const QImage& image, Test passes)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (passes(QColor(row[x])))
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

// White text on a mid-grey photo: only the glyphs are this bright.
QRect glyphBox(const QImage& image)
{
    return boxOf(image, [](const QColor& c) { return c.red() > 200 && c.green() > 200 && c.blue() > 200; });
}

QRect changedBox(const QImage& image, const QColor& photo)
{
    return boxOf(image, [&](const QColor& c) { return !near(c, photo, 20); });
}

CalendarOverlay overlayAt(bool isRight, bool isBottom)
{
    CalendarOverlay overlay;
    overlay.request.theme = u"classic"_s;
    overlay.request.year = 2026;
    overlay.request.month = 12;
    overlay.request.day = 9;
    overlay.baseSize = CalendarRenderer::imageSize(overlay.request);
    overlay.isRight = isRight;
    overlay.isBottom = isBottom;
    return overlay;
}

} // namespace

/// Wallpaper composition, checked by the pixels of the JPEG it writes at chosen points.
class WallpaperComposerTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void fitCentresThePhotoOnBlack_data();
    void fitCentresThePhotoOnBlack();
    void titleSitsAtTheLowerRightOfTheShownPhoto_data();
    void titleSitsAtTheLowerRightOfTheShownPhoto();
    void calendarSitsInItsCornerOfTheShownPart_data();
    void calendarSitsInItsCornerOfTheShownPart();
    void fillShowsTheMiddleOfALargerPhotoAtTheScreensSize_data();
    void fillShowsTheMiddleOfALargerPhotoAtTheScreensSize();
    void fillWithoutExtrasCopiesOnlyUprightJpegs_data();
    void fillWithoutExtrasCopiesOnlyUprightJpegs();
    void fitTurnsThePhotoByItsOrientation();
    void composesOrFailsCleanly_data();
    void composesOrFailsCleanly();
    void aWriteThatBreaksOffLeavesNoPicture_data();
    void aWriteThatBreaksOffLeavesNoPicture();

private:
    QString file(const QString& name, const QByteArray& bytes);
    QImage compose(const QString& source, WallpaperFit fit, const ScreenGeometry& geometry,
                   const std::optional<QString>& title = {},
                   const std::optional<CalendarOverlay>& overlay = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void WallpaperComposerTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

QString WallpaperComposerTest::file(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir->filePath(name);
    return test::writeFile(path, bytes) ? path : QString();
}

// Composes into a fresh file and reads the JPEG back as the desktop would (without turning it).
QImage WallpaperComposerTest::compose(const QString& source, WallpaperFit fit, const ScreenGeometry& geometry,
                                      const std::optional<QString>& title,
                                      const std::optional<CalendarOverlay>& overlay)
{
    const QString destination = m_dir->filePath(u"out-%1.jpg"_s.arg(QDateTime::currentMSecsSinceEpoch()));
    QFile::remove(destination);
    const std::optional<QString> failure =
        WallpaperComposer::compose(source, overlay, fit, title, geometry, destination);
    if (failure) {
        qWarning() << "compose failed:" << *failure;
        return {};
    }
    QImageReader reader(destination);
    reader.setAutoTransform(false);
    if (reader.format() != "jpeg") {
        qWarning() << "not a JPEG:" << reader.format();
        return {};
    }
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

void WallpaperComposerTest::fitCentresThePhotoOnBlack_data()
{
    QTest::addColumn<ScreenGeometry>("geometry");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QRect>("drawn");

    QTest::newRow("wide photo on a 16:10 screen at ratio 2: bars above and below")
        << screen(1440, 900, 2) << QSize(1920, 1080) << QRect(0, 90, 2880, 1620);
    QTest::newRow("4:3 photo on a 16:9 screen: bars left and right")
        << screen(1920, 1080) << QSize(1600, 1200) << QRect(240, 0, 1440, 1080);
    QTest::newRow("tall photo") << screen(2560, 1440) << QSize(1000, 1500) << QRect(800, 0, 960, 1440);
    QTest::newRow("small photo is scaled up, never refused")
        << screen(1920, 1080) << QSize(640, 360) << QRect(0, 0, 1920, 1080);
    QTest::newRow("large photo is scaled down")
        << screen(1280, 800, 1.5) << QSize(3840, 2400) << QRect(0, 0, 1920, 1200);
    QTest::newRow("ratio 2 with halves rounded away from zero")
        << screen(1512, 982, 2) << QSize(1600, 1200) << QRect(203, 0, 2619, 1964);
}

void WallpaperComposerTest::fitCentresThePhotoOnBlack()
{
    QFETCH(ScreenGeometry, geometry);
    QFETCH(QSize, photo);
    QFETCH(QRect, drawn);

    const QImage image = compose(file(u"photo.jpg"_s, test::jpegOf(test::solidImage(photo, orange))),
                                 WallpaperFit::fit, geometry);
    QCOMPARE(image.size(), QSize(int(std::round(geometry.width * geometry.scale)),
                                 int(std::round(geometry.height * geometry.scale))));
    // 72 dots per inch, so that a point is a pixel.
    QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 72);

    // Three pixels inside each edge of the photo, and three outside where there is a bar.
    const QPoint centre = drawn.center();
    const QList<std::pair<QPoint, QPoint>> edges = {
        {QPoint(drawn.left() + 3, centre.y()), QPoint(drawn.left() - 3, centre.y())},
        {QPoint(drawn.right() - 3, centre.y()), QPoint(drawn.right() + 3, centre.y())},
        {QPoint(centre.x(), drawn.top() + 3), QPoint(centre.x(), drawn.top() - 3)},
        {QPoint(centre.x(), drawn.bottom() - 3), QPoint(centre.x(), drawn.bottom() + 3)},
    };
    for (const auto& [inside, outside] : edges) {
        QVERIFY2(near(image.pixelColor(inside), orange), qPrintable(describe(image.pixelColor(inside))));
        if (image.rect().contains(outside))
            QVERIFY2(near(image.pixelColor(outside), Qt::black, 6),
                     qPrintable(describe(image.pixelColor(outside))));
    }
}

void WallpaperComposerTest::titleSitsAtTheLowerRightOfTheShownPhoto_data()
{
    QTest::addColumn<WallpaperFit>("fit");
    QTest::addColumn<ScreenGeometry>("geometry");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QRectF>("shown");
    QTest::addColumn<double>("ratio");

    const QString title = u"LAKE BLED"_s;
    QTest::newRow("fit: the title follows the photo, not the bars")
        << fitted << screen(1920, 1080) << QSize(1600, 1200) << title << QRectF(240, 0, 1440, 1080) << 0.9;
    QTest::newRow("fill, same aspect: 64 px from the right, baseline 160 px up")
        << filled << screen(1920, 1080) << QSize(1920, 1080) << title << QRectF(0, 0, 1920, 1080) << 1.0;
    // Larger than the screen both ways, the photo is cropped to the screen's size: the title comes
    // out where the desktop showed it before, 64 x 0.9 screen pixels from the right.
    QTest::newRow("fill, photo wider than the screen: inside the shown middle")
        << filled << screen(1440, 900) << QSize(2400, 1000) << title << QRectF(0, 0, 1440, 900) << 0.9;
    QTest::newRow("fill, photo taller than the screen: above the cropped bottom")
        << filled << screen(1600, 900) << QSize(1000, 1000) << title << QRectF(0, 218.75, 1000, 562.5) << 1.0;
    QTest::newRow("a long title shrinks to 60 % of the shown width")
        << filled << screen(1920, 1080) << QSize(1920, 1080)
        << u"THE VERY LONG TITLE OF A MOUNTAIN HUT ABOVE THE VALLEY"_s << QRectF(0, 0, 1920, 1080) << 1.0;
    QTest::newRow("blanks and breaks around the title are dropped")
        << filled << screen(1920, 1080) << QSize(1920, 1080) << u"\n  LAKE BLED \n"_s
        << QRectF(0, 0, 1920, 1080) << 1.0;
}

void WallpaperComposerTest::titleSitsAtTheLowerRightOfTheShownPhoto()
{
    QFETCH(WallpaperFit, fit);
    QFETCH(ScreenGeometry, geometry);
    QFETCH(QSize, photo);
    QFETCH(QString, title);
    QFETCH(QRectF, shown);
    QFETCH(double, ratio);

    const QImage image =
        compose(file(u"photo.jpg"_s, test::jpegOf(test::solidImage(photo, grey))), fit, geometry, title);
    QVERIFY(!image.isNull());
    const QRect glyphs = glyphBox(image);
    QVERIFY(!glyphs.isEmpty());
    // Capitals end on the baseline; the last glyph's side bearing keeps it a few pixels short.
    const double right = shown.right() - 64 * ratio;
    const double baseline = shown.bottom() - 160 * ratio;
    QVERIFY2(glyphs.right() + 1 <= right + 1 && glyphs.right() + 1 >= right - 6,
             qPrintable(u"right edge %1, expected about %2"_s.arg(glyphs.right() + 1).arg(right)));
    QVERIFY2(std::abs(glyphs.bottom() + 1 - baseline) <= 2,
             qPrintable(u"baseline %1, expected %2"_s.arg(glyphs.bottom() + 1).arg(baseline)));
    QVERIFY2(glyphs.width() <= 0.6 * shown.width(), qPrintable(u"width %1"_s.arg(glyphs.width())));
    QVERIFY(shown.contains(QRectF(glyphs)));
    // The shadow darkens the photo around the letters.
    int darkest = 255;
    const QRect around = glyphs.adjusted(-4, -4, 4, 4) & image.rect();
    for (int y = around.top(); y <= around.bottom(); ++y) {
        for (int x = around.left(); x <= around.right(); ++x)
            darkest = std::min(darkest, image.pixelColor(x, y).red());
    }
    QVERIFY2(darkest < grey.red() - 20, qPrintable(u"darkest %1"_s.arg(darkest)));
}

void WallpaperComposerTest::calendarSitsInItsCornerOfTheShownPart_data()
{
    QTest::addColumn<WallpaperFit>("fit");
    QTest::addColumn<ScreenGeometry>("geometry");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<bool>("isRight");
    QTest::addColumn<bool>("isBottom");
    QTest::addColumn<QRectF>("shown");
    // Canvas pixels from the shown part's edges the calendar names to its image's edges.
    QTest::addColumn<double>("horizontalInset");
    QTest::addColumn<double>("verticalInset");

    QTest::newRow("fit, top left, below a 25 pt panel at ratio 2")
        << fitted << screen(1440, 900, 2, 25) << QSize(1440, 900) << false << false
        << QRectF(0, 0, 2880, 1800) << 40.0 << 90.0;
    QTest::newRow("fit, bottom right, above a 40 pt dock and the title's band")
        << fitted << screen(1920, 1080, 1, 0, 40) << QSize(1920, 1080) << true << true
        << QRectF(0, 0, 1920, 1080) << 20.0 << 130.0;
    QTest::newRow("fit, bottom left, right above the dock")
        << fitted << screen(1920, 1080, 1, 0, 40) << QSize(960, 540) << false << true
        << QRectF(0, 0, 1920, 1080) << 20.0 << 60.0;
    QTest::newRow("fill, top right of a wider photo: inside the shown middle")
        << filled << screen(1440, 900) << QSize(2400, 1000) << true << false << QRectF(0, 0, 1440, 900)
        << 20.0 << 20.0;
    QTest::newRow("fill, bottom left of a taller photo: above the cropped bottom")
        << filled << screen(1600, 900) << QSize(1000, 1000) << false << true << QRectF(0, 218.75, 1000, 562.5)
        << 12.5 << 12.5;
}

void WallpaperComposerTest::calendarSitsInItsCornerOfTheShownPart()
{
    QFETCH(WallpaperFit, fit);
    QFETCH(ScreenGeometry, geometry);
    QFETCH(QSize, photo);
    QFETCH(bool, isRight);
    QFETCH(bool, isBottom);
    QFETCH(QRectF, shown);
    QFETCH(double, horizontalInset);
    QFETCH(double, verticalInset);

    const QImage image = compose(file(u"photo.jpg"_s, test::jpegOf(test::solidImage(photo, sea))), fit,
                                 geometry, std::nullopt, overlayAt(isRight, isBottom));
    QVERIFY(!image.isNull());
    const QRect calendar = changedBox(image, sea);
    QVERIFY(!calendar.isEmpty());
    QVERIFY2(shown.contains(QRectF(calendar)), qPrintable(u"calendar at %1,%2 %3x%4"_s.arg(calendar.x())
                                                              .arg(calendar.y())
                                                              .arg(calendar.width())
                                                              .arg(calendar.height())));

    // The card lies inside the image's transparent margin (8 units at zoom 1) plus its shadow.
    const double slack = 8 * geometry.scale + 4;
    const double fromSide = isRight ? shown.right() - (calendar.right() + 1) : calendar.left() - shown.left();
    const double fromEdge =
        isBottom ? shown.bottom() - (calendar.bottom() + 1) : calendar.top() - shown.top();
    QVERIFY2(fromSide >= horizontalInset - 1 && fromSide <= horizontalInset + slack,
             qPrintable(u"%1 from the side, expected %2"_s.arg(fromSide).arg(horizontalInset)));
    QVERIFY2(fromEdge >= verticalInset - 1 && fromEdge <= verticalInset + slack,
             qPrintable(u"%1 from the edge, expected %2"_s.arg(fromEdge).arg(verticalInset)));
}

void WallpaperComposerTest::fillShowsTheMiddleOfALargerPhotoAtTheScreensSize_data()
{
    QTest::addColumn<ScreenGeometry>("geometry");
    QTest::addColumn<QSize>("photo");
    QTest::addColumn<int>("orientation");

    QTest::newRow("wider photo: its middle") << screen(1440, 900) << QSize(2400, 1000) << 1;
    QTest::newRow("taller photo: its middle band") << screen(1280, 1024) << QSize(1800, 2400) << 1;
    QTest::newRow("same aspect: all of it, smaller") << screen(1920, 1080) << QSize(3840, 2160) << 1;
    QTest::newRow("at ratio 2") << screen(1440, 900, 2) << QSize(4000, 2000) << 1;
    QTest::newRow("turned by its orientation") << screen(1280, 1024) << QSize(1600, 2400) << 6;
}

void WallpaperComposerTest::fillShowsTheMiddleOfALargerPhotoAtTheScreensSize()
{
    QFETCH(ScreenGeometry, geometry);
    QFETCH(QSize, photo);
    QFETCH(int, orientation);

    // A patchwork of blocks, no two neighbours alike, so a crop off the middle shows at once.
    const QList<QColor> colours = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta, Qt::cyan, orange};
    const QSize block(photo.width() / 8, photo.height() / 8);
    const auto colourAt = [&](double x, double y) {
        return colours[(int(x) / block.width() + 3 * (int(y) / block.height())) % colours.size()];
    };
    QImage upright = test::solidImage(photo, Qt::black);
    QPainter painter(&upright);
    for (int y = 0; y < photo.height(); y += block.height()) {
        for (int x = 0; x < photo.width(); x += block.width())
            painter.fillRect(QRect(QPoint(x, y), block), colourAt(x, y));
    }
    painter.end();
    // Orientation 6: stored a quarter turn to the left, shown turned back to the right.
    const QByteArray jpeg =
        orientation == 6
            ? test::withExifOrientation(test::jpegOf(upright.transformed(QTransform().rotate(-90))), 6)
            : test::jpegOf(upright);

    const QImage image = compose(file(u"photo.jpg"_s, jpeg), filled, geometry, u"LAKE BLED"_s);
    const QSize screenPixels(int(std::round(geometry.width * geometry.scale)),
                             int(std::round(geometry.height * geometry.scale)));
    QCOMPARE(image.size(), screenPixels);

    // What a desktop filling the screen with the whole photo shows: scaled to cover, centred.
    const double r = std::max(double(screenPixels.width()) / photo.width(),
                              double(screenPixels.height()) / photo.height());
    const QPointF cut((photo.width() - screenPixels.width() / r) / 2,
                      (photo.height() - screenPixels.height() / r) / 2);
    int checked = 0;
    // Above the title; points near a block's edge, blurred by the scaling, are left out.
    for (int y = 2; y < screenPixels.height() * 6 / 10; y += 17) {
        for (int x = 2; x < screenPixels.width() - 2; x += 23) {
            const QPointF at = cut + QPointF(x + 0.5, y + 0.5) / r;
            const double margin = 4 / r;
            if (colourAt(at.x() - margin, at.y() - margin) != colourAt(at.x() + margin, at.y() + margin) ||
                colourAt(at.x() - margin, at.y() + margin) != colourAt(at.x() + margin, at.y() - margin))
                continue;
            const QColor expected = colourAt(at.x(), at.y());
            QVERIFY2(near(image.pixelColor(x, y), expected, 24),
                     qPrintable(u"at %1,%2: %3, expected %4"_s.arg(x).arg(y).arg(
                         describe(image.pixelColor(x, y)), describe(expected))));
            ++checked;
        }
    }
    QVERIFY(checked > 500);
}

void WallpaperComposerTest::fillWithoutExtrasCopiesOnlyUprightJpegs_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("copied");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("top");
    QTest::addColumn<QColor>("bottom");

    QImage sideBySide = test::solidImage(QSize(200, 100), Qt::red);
    QPainter(&sideBySide).fillRect(100, 0, 100, 100, Qt::blue);
    QImage stacked = test::solidImage(QSize(100, 200), Qt::red);
    QPainter(&stacked).fillRect(0, 100, 100, 100, Qt::blue);
    const QByteArray jpeg = test::jpegOf(stacked);

    QTest::newRow("a JPEG without orientation is copied byte for byte")
        << jpeg << true << QSize(100, 200) << QColor(Qt::red) << QColor(Qt::blue);
    QTest::newRow("orientation 1 is copied too") << test::withExifOrientation(jpeg, 1) << true
                                                 << QSize(100, 200) << QColor(Qt::red) << QColor(Qt::blue);
    // Turned a quarter clockwise, the left half ends on top.
    QTest::newRow("orientation 6 is turned and written upright")
        << test::withExifOrientation(test::jpegOf(sideBySide), 6) << false << QSize(100, 200)
        << QColor(Qt::red) << QColor(Qt::blue);
    QTest::newRow("a PNG under a .jpg name becomes a JPEG")
        << test::pngOf(stacked) << false << QSize(100, 200) << QColor(Qt::red) << QColor(Qt::blue);
}

void WallpaperComposerTest::fillWithoutExtrasCopiesOnlyUprightJpegs()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, copied);
    QFETCH(QSize, size);
    QFETCH(QColor, top);
    QFETCH(QColor, bottom);

    const QString path = file(u"photo.jpg"_s, source);
    const QString destination = m_dir->filePath(u"wallpaper.jpg"_s);
    QCOMPARE(WallpaperComposer::compose(path, std::nullopt, WallpaperFit::fill, u" "_s, screen(1920, 1080),
                                        destination),
             std::nullopt);
    const QByteArray written = test::contentOf(destination);
    QCOMPARE(written == source, copied);
    QVERIFY(written.startsWith("\xFF\xD8\xFF"));

    QImageReader reader(destination);
    reader.setAutoTransform(false);
    QCOMPARE(reader.transformation(), copied ? reader.transformation() : QImageIOHandler::TransformationNone);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    QVERIFY(near(image.pixelColor(size.width() / 2, size.height() / 4), top, 40));
    QVERIFY(near(image.pixelColor(size.width() / 2, size.height() * 3 / 4), bottom, 40));
}

void WallpaperComposerTest::fitTurnsThePhotoByItsOrientation()
{
    // Stored 2000x1000 with red on the left; upright it is 1000x2000 with red on top. Shrunk
    // to a quarter while decoding, it must still be turned.
    QImage stored = test::solidImage(QSize(2000, 1000), Qt::red);
    QPainter(&stored).fillRect(1000, 0, 1000, 1000, Qt::blue);
    const QString path = file(u"turned.jpg"_s, test::withExifOrientation(test::jpegOf(stored), 6));

    const QImage image = compose(path, WallpaperFit::fit, screen(500, 500));
    QCOMPARE(image.size(), QSize(500, 500));
    QVERIFY(near(image.pixelColor(250, 125), Qt::red, 40));
    QVERIFY(near(image.pixelColor(250, 375), Qt::blue, 40));
    QVERIFY(near(image.pixelColor(60, 250), Qt::black, 6));
    QVERIFY(near(image.pixelColor(440, 250), Qt::black, 6));
}

void WallpaperComposerTest::composesOrFailsCleanly_data()
{
    QTest::addColumn<bool>("composes");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<WallpaperFit>("fit");
    QTest::addColumn<ScreenGeometry>("geometry");
    QTest::addColumn<std::optional<CalendarOverlay>>("overlay");

    const QByteArray photo = test::jpegOf(test::solidImage(QSize(64, 48), orange));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    const std::optional<CalendarOverlay> none;
    CalendarOverlay noZoom = overlayAt(false, false);
    noZoom.zoom = nan;
    CalendarOverlay noSize = overlayAt(true, true);
    noSize.baseSize = QSizeF();

    QTest::newRow("no room for the calendar: drawn one pixel high")
        << true << photo << fitted << screen(800, 600, 1, 590) << std::optional(overlayAt(true, true));
    QTest::newRow("not an image") << false << QByteArray("just text") << fitted << screen(800, 600) << none;
    QTest::newRow("not an image, with fill")
        << false << QByteArray("just text") << filled << screen(800, 600) << none;
    QTest::newRow("width not a number") << false << photo << fitted << screen(nan, 600) << none;
    QTest::newRow("endless height") << false << photo << fitted << screen(800, infinity) << none;
    QTest::newRow("scale 0") << false << photo << fitted << screen(800, 600, 0) << none;
    QTest::newRow("negative inset, even with fill")
        << false << photo << filled << screen(800, 600, 1, -5) << std::optional(overlayAt(false, false));
    QTest::newRow("canvas below one pixel") << false << photo << fitted << screen(0.2, 0.2) << none;
    QTest::newRow("calendar zoom not a number")
        << false << photo << fitted << screen(800, 600) << std::optional(noZoom);
    QTest::newRow("calendar without a size")
        << false << photo << filled << screen(800, 600) << std::optional(noSize);
}

void WallpaperComposerTest::composesOrFailsCleanly()
{
    QFETCH(bool, composes);
    QFETCH(QByteArray, source);
    QFETCH(WallpaperFit, fit);
    QFETCH(ScreenGeometry, geometry);
    QFETCH(std::optional<CalendarOverlay>, overlay);

    const QString destination = m_dir->filePath(u"wallpaper.jpg"_s);
    const std::optional<QString> failure = WallpaperComposer::compose(
        file(u"photo.jpg"_s, source), overlay, fit, std::nullopt, geometry, destination);
    QVERIFY2(failure.has_value() != composes, qPrintable(failure.value_or(u"composed"_s)));
    QCOMPARE(QFileInfo::exists(destination), composes);
}

void WallpaperComposerTest::aWriteThatBreaksOffLeavesNoPicture_data()
{
    QTest::addColumn<WallpaperFit>("fit");
    QTest::newRow("drawn") << fitted;
    QTest::newRow("copied") << filled;
}

void WallpaperComposerTest::aWriteThatBreaksOffLeavesNoPicture()
{
    QFETCH(WallpaperFit, fit);
    QImage photo = test::solidImage(QSize(1920, 1080), orange);
    QPainter(&photo).fillRect(0, 0, 960, 540, Qt::blue);
    const QString source = file(u"photo.jpg"_s, test::jpegOf(photo));
    QVERIFY(QFileInfo(source).size() > 2000);
    const QString destination = m_dir->filePath(u"wallpaper.jpg"_s);

    std::optional<QString> failure;
    {
        const test::FileSizeLimit fullDisk(2000);
        QVERIFY(fullDisk.isActive());
        failure = WallpaperComposer::compose(source, std::nullopt, fit, std::nullopt, screen(1920, 1080),
                                             destination);
    }
    QVERIFY(failure);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"photo.jpg"_s});
}

} // namespace lumi

QTEST_MAIN(lumi::WallpaperComposerTest)
#include "WallpaperComposerTest.moc"
