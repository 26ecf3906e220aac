#include "player/SwingRenderer.h"

#include "player/ReflectionsEffect.h"

#include <QPainter>
#include <QPicture>
#include <QTest>

#include <functional>

namespace lumi {

namespace {

constexpr QSize area(1000, 600);

// Sharp features in every direction, a transparent margin and a half-transparent band: what a
// wrong source column, row or edge shows at once.
QImage sharpPicture()
{
    QImage image(620, 480, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(10, 0, 600, 360), Qt::white);
    for (int y = 0; y < 360; y += 24) {
        for (int x = 10 + (y / 24 % 2) * 24; x < 610; x += 48)
            painter.fillRect(QRect(x, y, 24, 24), QColor(200, 30, 40));
    }
    painter.fillRect(QRect(10, 100, 600, 3), Qt::blue);
    painter.fillRect(QRect(300, 0, 2, 360), Qt::green);
    painter.fillRect(QRect(10, 362, 600, 118), QColor(0, 0, 255, 90));
    return image;
}

// An opaque photo of `size` pixels at `ratio`: a gradient, checks, single-pixel lines both ways
// and a slanted one, in `tint`.
QImage opaquePhoto(QSize size, qreal ratio, const QColor& tint)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, tint);
    gradient.setColorAt(1, tint.darker(300));
    painter.fillRect(image.rect(), gradient);
    for (int y = 0; y < size.height(); y += 30) {
        for (int x = (y / 30 % 2) * 30; x < size.width(); x += 60)
            painter.fillRect(QRect(x, y, 30, 30), QColor(240, 230, 40));
    }
    for (int x = 7; x < size.width(); x += 53)
        painter.fillRect(QRect(x, 0, 1, size.height()), Qt::white);
    for (int y = 5; y < size.height(); y += 41)
        painter.fillRect(QRect(0, y, size.width(), 1), Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::cyan, 2));
    painter.drawLine(QPointF(0, 0), QPointF(size.width(), size.height()));
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage framed(qreal ratio, const std::function<void(QPainter&)>& draw, const QColor& fill = Qt::black)
{
    QImage frame(area * ratio, QImage::Format_RGB32);
    frame.setDevicePixelRatio(ratio);
    frame.fill(fill);
    QPainter painter(&frame);
    draw(painter);
    return frame;
}

// The two frames' worst difference in any channel, and where, counting apart the pixels on the
// picture's outline (black in one of them) that differ by more than `tolerance`.
struct Difference
{
    int worst = 0;
    QPoint at;
    int outline = 0;
    QRgb expected = 0;
    QRgb drawn = 0;
};

Difference compared(const QImage& expected, const QImage& drawn, int tolerance)
{
    Difference difference;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = expected.pixel(x, y);
            const QRgb b = drawn.pixel(x, y);
            const int off =
                std::max({qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
            if (off > tolerance && (qGray(a) == 0 || qGray(b) == 0)) {
                ++difference.outline;
            } else if (off > difference.worst) {
                difference.worst = off;
                difference.at = QPoint(x, y);
                difference.expected = a;
                difference.drawn = b;
            }
        }
    }
    return difference;
}

QString described(const Difference& difference)
{
    return QStringLiteral("%1 off at %2,%3 (%4 for %5), %6 on the outline")
        .arg(difference.worst)
        .arg(difference.at.x())
        .arg(difference.at.y())
        .arg(QColor(difference.drawn).name(), QColor(difference.expected).name())
        .arg(difference.outline);
}

// Maps a picture of `units` (pixels over its ratio) on to `target`.
QTransform placed(QSizeF units, const QRectF& target)
{
    return QTransform(target.width() / units.width(), 0, 0, target.height() / units.height(), target.left(),
                      target.top());
}

} // namespace

class SwingRendererTest final : public QObject
{
    Q_OBJECT

private slots:
    void matchesQtsPerspectiveDrawing_data()
    {
        QTest::addColumn<qreal>("degrees");
        QTest::addColumn<qreal>("opacity");
        QTest::newRow("old photo leaving, fully turned") << 45.0 << 1.0;
        QTest::newRow("new photo arriving, fully turned") << -45.0 << 1.0;
        QTest::newRow("halfway, half faded") << 22.5 << 0.5;
        QTest::newRow("barely turned") << -0.3 << 1.0;
        QTest::newRow("edge-on") << 90.0 << 1.0;
    }

    void matchesQtsPerspectiveDrawing()
    {
        QFETCH(qreal, degrees);
        QFETCH(qreal, opacity);
        const QImage picture = sharpPicture();
        const QTransform transform =
            QTransform::fromTranslate(190, 60) * ReflectionsEffect::swing(area, degrees);

        const QImage expected = framed(1, [&](QPainter& painter) {
            painter.setOpacity(opacity);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setTransform(transform);
            painter.drawImage(0, 0, picture);
        });
        SwingRenderer renderer;
        const QImage drawn = framed(1, [&](QPainter& painter) {
            painter.setOpacity(opacity);
            renderer.draw(painter, picture, transform, area);
        });

        // Inside, the filtering matches. On the outline a pixel whose centre lies within the
        // rasterizer's 1/64 of a slanted edge may be drawn by one and not the other, so there
        // only a scattering of single pixels may differ; a wrong edge row would miss hundreds.
        const Difference difference = compared(expected, drawn, 4);
        QVERIFY2(difference.worst <= 4 && difference.outline <= 25, qPrintable(described(difference)));
    }

    // The panner's two layers as a window shows them: the photo at rest underneath, written with
    // the black backdrop it lays itself, and the next one fading in over it; each a zoomed and
    // shifted copy of a photo pre-scaled to its widest zoom. Qt's drawing has the area cleared
    // first; both start from a frame the previous one left green.
    void matchesQtsScaledDrawing_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QRectF>("under");
        QTest::addColumn<QRectF>("over");
        QTest::addColumn<qreal>("fading");
        QTest::addColumn<QString>("route");
        const QRectF zoomedIn(-100, -60, 1200, 720);
        const QRectF startingRight(-3.3, 0, 1006.6, 600);
        const QRectF driftedLeft(-195.25, -47.5, 1200.5, 657);
        const QRectF inPlace(-17.8, -10.7, 1035.6, 621.4);
        const QRectF small(150.3, 80.7, 600, 380);
        for (const qreal ratio : {1.0, 2.0}) {
            const QByteArray at = ratio == 1 ? " at 1" : " at 2";
            QTest::newRow("zoomed in at rest" + at) << ratio << zoomedIn << QRectF() << 0.0 << "image";
            QTest::newRow("drifted left at rest" + at) << ratio << driftedLeft << QRectF() << 0.0 << "image";
            QTest::newRow("next one starting" + at) << ratio << zoomedIn << startingRight << 0.1 << "image";
            QTest::newRow("halfway through the change" + at)
                << ratio << driftedLeft << inPlace << 0.5 << "image";
            QTest::newRow("change nearly done" + at) << ratio << inPlace << startingRight << 0.93 << "image";
            QTest::newRow("in a window at an offset" + at)
                << ratio << driftedLeft << inPlace << 0.5 << "shifted";
        }
        QTest::newRow("small, black around it") << 2.0 << small << QRectF() << 0.0 << "image";
        QTest::newRow("recorded, then played") << 1.0 << driftedLeft << inPlace << 0.5 << "picture";
        QTest::newRow("small, recorded, then played") << 1.0 << small << inPlace << 0.3 << "picture";
    }

    void matchesQtsScaledDrawing()
    {
        QFETCH(qreal, ratio);
        QFETCH(QRectF, under);
        QFETCH(QRectF, over);
        QFETCH(qreal, fading);
        QFETCH(QString, route);
        // Pre-scaled to 1.2 times the area.
        const QSizeF units = QSizeF(area) * 1.2;
        const QImage bottom = opaquePhoto((units * ratio).toSize(), ratio, QColor(40, 90, 200));
        const QImage top = opaquePhoto((units * ratio).toSize(), ratio, QColor(200, 60, 120));
        // Offset and clipped as a widget within its window is.
        const QPoint shift = route == u"shifted" ? QPoint(37, 11) : QPoint();

        const QImage expected = framed(
            ratio,
            [&](QPainter& painter) {
                painter.translate(shift);
                painter.setClipRect(QRect(QPoint(), area - QSize(shift.x(), shift.y())));
                painter.fillRect(QRect(QPoint(), area), Qt::black);
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
                painter.setOpacity(1 - fading);
                painter.drawImage(under, bottom);
                if (!over.isNull()) {
                    painter.setOpacity(fading);
                    painter.drawImage(over, top);
                }
            },
            Qt::green);
        SwingRenderer renderer;
        const auto draw = [&](QPainter& painter) {
            painter.translate(shift);
            painter.setClipRect(QRect(QPoint(), area - QSize(shift.x(), shift.y())));
            painter.setOpacity(1 - fading);
            renderer.draw(painter, bottom, placed(units, under), area, SwingRenderer::Backdrop::black);
            if (!over.isNull()) {
                painter.setOpacity(fading);
                renderer.draw(painter, top, placed(units, over), area);
            }
        };
        const QImage drawn = framed(
            ratio,
            [&](QPainter& painter) {
                if (route != u"picture") {
                    draw(painter);
                    return;
                }
                QPicture picture;
                QPainter recorder(&picture);
                draw(recorder);
                recorder.end();
                painter.drawPicture(0, 0, picture);
            },
            Qt::green);

        // Qt steps along a row in 16.16 fixed point, which drifts by up to 1/50 of a pixel across
        // a 4K row: on the photo's sharpest edges that is a few levels. A sample half a pixel
        // off would differ by a hundred on the single-pixel lines.
        const Difference difference = compared(expected, drawn, 8);
        QVERIFY2(difference.worst <= 8 && difference.outline == 0, qPrintable(described(difference)));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::SwingRendererTest)
#include "SwingRendererTest.moc"
