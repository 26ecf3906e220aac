#include "player/SwingRenderer.h"

#include "player/ReflectionsEffect.h"

#include <QPainter>
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

QImage framed(const std::function<void(QPainter&)>& draw)
{
    QImage frame(area, QImage::Format_RGB32);
    frame.fill(Qt::black);
    QPainter painter(&frame);
    draw(painter);
    return frame;
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

        const QImage expected = framed([&](QPainter& painter) {
            painter.setOpacity(opacity);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.setTransform(transform);
            painter.drawImage(0, 0, picture);
        });
        SwingRenderer renderer;
        const QImage drawn = framed([&](QPainter& painter) {
            painter.setOpacity(opacity);
            renderer.draw(painter, picture, transform, area);
        });

        // Inside, the filtering matches. On the outline a pixel whose centre lies within the
        // rasterizer's 1/64 of a slanted edge may be drawn by one and not the other, so there
        // only a scattering of single pixels may differ; a wrong edge row would miss hundreds.
        int worst = 0;
        QPoint at;
        int outline = 0;
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                const QRgb a = expected.pixel(x, y);
                const QRgb b = drawn.pixel(x, y);
                const int difference = std::max(
                    {qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
                if (difference > 4 && (qGray(a) == 0 || qGray(b) == 0)) {
                    ++outline;
                } else if (difference > worst) {
                    worst = difference;
                    at = QPoint(x, y);
                }
            }
        }
        QVERIFY2(worst <= 4,
                 qPrintable(QStringLiteral("%1 off at %2,%3").arg(worst).arg(at.x()).arg(at.y())));
        QVERIFY2(outline <= 25, qPrintable(QString::number(outline)));
    }
};

} // namespace lumi

QTEST_MAIN(lumi::SwingRendererTest)
#include "SwingRendererTest.moc"
