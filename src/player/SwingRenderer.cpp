#include "player/SwingRenderer.h"

#include "imaging/LargeBitmap.h"
#include "player/DevicePixels.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

namespace lumi {

namespace {

// Two premultiplied pixels mixed with `weight` (0 to 256) of b, both channel pairs at once.
inline quint32 mix(quint32 a, quint32 b, quint32 weight)
{
    const quint32 keep = 256 - weight;
    const quint32 redBlue = ((a & 0xff00ff) * keep + (b & 0xff00ff) * weight) >> 8;
    const quint32 alphaGreen = ((a >> 8) & 0xff00ff) * keep + ((b >> 8) & 0xff00ff) * weight;
    return (redBlue & 0xff00ff) | (alphaGreen & 0xff00ff00);
}

constexpr int bandRows = 32;

} // namespace

void SwingRenderer::draw(QPainter& painter, const QImage& image, const QTransform& units, QSizeF unitArea)
{
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    Q_ASSERT(units.m21() == 0 && units.m23() == 0);
    // From the image's pixels to the device's.
    const qreal ratio = devicePixelRatio(painter);
    const QTransform transform = QTransform::fromScale(1 / image.devicePixelRatio(), 1 / image.devicePixelRatio())
                                 * units * QTransform::fromScale(ratio, ratio);
    const QSizeF area = unitArea * ratio;
    const QRect bounds =
        transform.mapRect(QRectF(image.rect())).toAlignedRect() & QRect(QPoint(), area.toSize());
    if (bounds.isEmpty() || image.isNull())
        return;
    if (m_buffer.width() < bounds.width() || m_buffer.height() < bounds.height()) {
        m_buffer = LargeBitmap::create(area.toSize(), QImage::Format_ARGB32_Premultiplied);
        if (m_buffer.isNull())
            return;
    }
    m_buffer.setDevicePixelRatio(ratio);

    // Screen x = (m11 x + m31) / w and y = (m12 x + m22 y + m32) / w with w = m13 x + m33: a
    // screen column fixes the picture's x and w, and then y follows the screen row linearly.
    const qreal m11 = transform.m11(), m12 = transform.m12(), m13 = transform.m13();
    const qreal m22 = transform.m22(), m31 = transform.m31(), m32 = transform.m32(), m33 = transform.m33();
    const int width = image.width();
    const int height = image.height();
    const auto* pixels = reinterpret_cast<const quint32*>(image.constBits());
    m_columns.resize(size_t(bounds.width()));
    for (int i = 0; i < bounds.width(); ++i) {
        Column& column = m_columns[size_t(i)];
        // Pixel centres are sampled, as the raster engine does.
        const qreal screenX = bounds.left() + i + 0.5;
        const qreal x = (m31 - screenX * m33) / (screenX * m13 - m11);
        const qreal w = m13 * x + m33;
        if (!(x >= 0 && x < width) || w <= 0) {
            column.firstRow = column.endRow = 0;
            continue;
        }
        const qreal top = (m12 * x + m32) / w;
        const qreal bottom = (m12 * x + m22 * height + m32) / w;
        column.firstRow = std::clamp(int(std::ceil(top - 0.5)) - bounds.top(), 0, bounds.height());
        column.endRow = std::clamp(int(std::ceil(bottom - 0.5)) - bounds.top(), 0, bounds.height());
        const qreal u = x - 0.5;
        const int left = std::clamp(int(std::floor(u)), 0, width - 1);
        column.left = pixels + left;
        column.right = left + 1 < width && u >= 0 ? 1 : 0;
        column.weight = int((u - std::floor(u)) * 256);
        const qreal step = w / m22;
        column.step = qint32(std::lround(step * 65536));
        column.v = qint32(std::lround(((bounds.top() + 0.5) * step - (m12 * x + m32) / m22 - 0.5) * 65536));
    }

    // Rows in bands across the cores: each pixel is independent of the others.
    const qsizetype stride = image.bytesPerLine() / 4;
    const int lastRow = height - 1;
    // Taken here: scanLine() off this thread would race on the image's detach count.
    uchar* const target = m_buffer.bits();
    const qsizetype targetStride = m_buffer.bytesPerLine();
    const auto resample = [&](int first) {
        for (int row = first; row < std::min(first + bandRows, bounds.height()); ++row) {
            auto* line = reinterpret_cast<quint32*>(target + row * targetStride);
            for (int i = 0; i < bounds.width(); ++i) {
                const Column& column = m_columns[size_t(i)];
                if (row < column.firstRow || row >= column.endRow) {
                    line[i] = 0;
                    continue;
                }
                const qint32 v = column.v + row * column.step;
                const int y = std::clamp(v >> 16, 0, lastRow);
                const quint32* upper = column.left + y * stride;
                const quint32* lower = v >> 16 < lastRow && v >= 0 ? upper + stride : upper;
                const auto weight = quint32(column.weight);
                line[i] = mix(mix(upper[0], upper[column.right], weight),
                              mix(lower[0], lower[column.right], weight), quint32(v >> 8) & 0xff);
            }
        }
    };
    m_bands.clear();
    for (int first = 0; first < bounds.height(); first += bandRows)
        m_bands.push_back(first);
    QtConcurrent::blockingMap(m_bands, resample);
    painter.drawImage(QPointF(bounds.topLeft()) / ratio, m_buffer, QRectF(QPointF(), bounds.size()));
}

} // namespace lumi
