#include "player/SwingRenderer.h"

#include "imaging/LargeBitmap.h"
#include "player/DevicePixels.h"
#include "player/RasterTarget.h"

#include <QPainter>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace lumi {

namespace {

constexpr quint32 opaqueBlack = 0xff000000;

// The compiler's vector extensions, which become SSE2 or NEON as the target has them. Eight
// 16-bit lanes hold the channels of two pixels with room for a channel times a weight of 256.
using Lanes = quint16 __attribute__((vector_size(16)));
using Bytes = quint8 __attribute__((vector_size(16)));
using HalfBytes = quint8 __attribute__((vector_size(8)));
using FourPixels = quint32 __attribute__((vector_size(16)));
using TwoPixels = quint32 __attribute__((vector_size(8)));

// The first eight bytes, or the last, in lanes.
inline Lanes lowLanes(Bytes bytes)
{
    return std::bit_cast<Lanes>(
        __builtin_shufflevector(bytes, Bytes{}, 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23));
}

inline Lanes highLanes(Bytes bytes)
{
    return std::bit_cast<Lanes>(__builtin_shufflevector(bytes, Bytes{}, 8, 24, 9, 25, 10, 26, 11, 27, 12, 28,
                                                        13, 29, 14, 30, 15, 31));
}

inline Lanes widen(TwoPixels pixels)
{
    return lowLanes(std::bit_cast<Bytes>(__builtin_shufflevector(pixels, pixels, 0, 1, 0, 1)));
}

inline TwoPixels narrow(Lanes lanes)
{
    return std::bit_cast<TwoPixels>(__builtin_convertvector(lanes, HalfBytes));
}

inline Lanes load(const quint16* lanes)
{
    Lanes loaded;
    std::memcpy(&loaded, lanes, sizeof loaded);
    return loaded;
}

inline TwoPixels load(const quint32* pixels)
{
    TwoPixels loaded;
    std::memcpy(&loaded, pixels, sizeof loaded);
    return loaded;
}

// Premultiplied pixels drawn over those under them.
inline Lanes over(Lanes pixels, Lanes under)
{
    const Lanes keep = 255 - __builtin_shufflevector(pixels, pixels, 3, 3, 3, 3, 7, 7, 7, 7);
    return pixels + ((under * (keep + (keep >> 7))) >> 8);
}

// Two pixels on to the target; over black they need no blend. With `both` false, the first only.
inline void put(quint32* target, Lanes pixels, bool overBlack, bool both = true)
{
    const TwoPixels drawn = overBlack
                                ? narrow(pixels) | opaqueBlack
                                : narrow(over(pixels, widen(both ? load(target) : TwoPixels{target[0], 0})));
    if (both)
        std::memcpy(target, &drawn, sizeof drawn);
    else
        target[0] = drawn[0];
}

// `count` pixels of two rows mixed with `down` (0 to 255) of the lower one, four at a time.
void mixRows(const quint32* upper, const quint32* lower, int count, quint16 down, quint32* mixed)
{
    using WideLanes = quint16 __attribute__((vector_size(32)));
    const auto keep = quint16(256 - down);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        Bytes upperBytes, lowerBytes;
        std::memcpy(&upperBytes, upper + i, sizeof upperBytes);
        std::memcpy(&lowerBytes, lower + i, sizeof lowerBytes);
        const WideLanes wide = (__builtin_convertvector(upperBytes, WideLanes) * keep +
                                __builtin_convertvector(lowerBytes, WideLanes) * down) >>
                               8;
        const Bytes result = __builtin_convertvector(wide, Bytes);
        std::memcpy(mixed + i, &result, sizeof result);
    }
    for (; i < count; ++i)
        mixed[i] =
            narrow((widen(TwoPixels{upper[i], 0}) * keep + widen(TwoPixels{lower[i], 0}) * down) >> 8)[0];
}

// Pixels from pairs of source pixels side by side, each pair mixed with the weights of its
// column: the first four of `across` for the left pixel, the last four for the right.
inline Lanes mixAcross(TwoPixels first, const quint16* firstAcross, TwoPixels second,
                       const quint16* secondAcross)
{
    const auto bytes = std::bit_cast<Bytes>(__builtin_shufflevector(first, second, 0, 2, 1, 3));
    const Lanes a = load(firstAcross);
    const Lanes b = load(secondAcross);
    return (lowLanes(bytes) * __builtin_shufflevector(a, b, 0, 1, 2, 3, 8, 9, 10, 11) +
            highLanes(bytes) * __builtin_shufflevector(a, b, 4, 5, 6, 7, 12, 13, 14, 15)) >>
           8;
}

constexpr int bandRows = 32;

void blacken(quint32* from, quint32* to)
{
    if (from < to)
        std::fill(from, to, opaqueBlack);
}

// The columns of `band` the picture may cover, from left to right; none at its right end.
std::pair<int, int> pictureColumns(const QRect& band, const QRect& bounds)
{
    const int left = std::max(band.left(), bounds.left());
    const int right = std::min(band.right(), bounds.right());
    return left <= right ? std::pair(left, right) : std::pair(band.right() + 1, band.right());
}

} // namespace

struct SwingRenderer::Pass
{
    const quint32* source;
    qsizetype sourceStride;
    int lastColumn;
    int lastRow;
    const Column* columns; // from the bounds' left
    QRect bounds;          // the target pixels the picture may cover
    uchar* target;
    qsizetype targetStride;
    bool overBlack;
};

void SwingRenderer::draw(QPainter& painter, const QImage& image, const QTransform& units, QSizeF area,
                         Backdrop backdrop)
{
    Q_ASSERT(image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied ||
             image.format() == QImage::Format_RGB32);
    Q_ASSERT(units.m21() == 0 && units.m23() == 0);
    const QTransform fromPixels =
        QTransform::fromScale(1 / image.devicePixelRatio(), 1 / image.devicePixelRatio()) * units;
    if (const std::optional<RasterTarget> target = RasterTarget::of(painter)) {
        const QRegion clip = target->clip & target->toPixels.mapRect(QRectF(QPointF(), area)).toRect();
        resample(target->bits, target->bytesPerLine, clip, image, fromPixels * target->toPixels,
                 target->opacity, backdrop);
        return;
    }

    // Elsewhere into a buffer at the device's pixels, drawn with the painter.
    if (backdrop == Backdrop::black) {
        painter.save();
        painter.setOpacity(1);
        painter.fillRect(QRectF(QPointF(), area), Qt::black);
        painter.restore();
    }
    const qreal ratio = devicePixelRatio(painter);
    const QTransform transform = fromPixels * QTransform::fromScale(ratio, ratio);
    const QSize pixels = (area * ratio).toSize();
    const QRect bounds = transform.mapRect(QRectF(image.rect())).toAlignedRect() & QRect(QPoint(), pixels);
    if (bounds.isEmpty() || image.isNull())
        return;
    if (m_buffer.width() < bounds.width() || m_buffer.height() < bounds.height()) {
        m_buffer = LargeBitmap::create(pixels, QImage::Format_ARGB32_Premultiplied);
        if (m_buffer.isNull())
            return;
    }
    m_buffer.setDevicePixelRatio(ratio);
    for (int row = 0; row < bounds.height(); ++row)
        std::memset(m_buffer.scanLine(row), 0, size_t(bounds.width()) * 4);
    resample(m_buffer.bits(), m_buffer.bytesPerLine(), QRegion(QRect(QPoint(), bounds.size())), image,
             transform * QTransform::fromTranslate(-bounds.left(), -bounds.top()), 256, Backdrop::anything);
    painter.drawImage(QPointF(bounds.topLeft()) / ratio, m_buffer, QRectF(QPointF(), bounds.size()));
}

void SwingRenderer::resample(uchar* bits, qsizetype bytesPerLine, const QRegion& clip, const QImage& image,
                             const QTransform& transform, int opacity, Backdrop backdrop)
{
    // Over black every pixel of the clip is written, the picture's or black.
    const bool overBlack = backdrop == Backdrop::black;
    QRect bounds = image.isNull() || (opacity <= 0 && !overBlack)
                       ? QRect()
                       : transform.mapRect(QRectF(image.rect())).toAlignedRect() & clip.boundingRect();

    // Target x = (m11 x + m31) / w and y = (m12 x + m22 y + m32) / w with w = m13 x + m33: a
    // target column fixes the picture's x and w, and then y follows the target row linearly.
    const qreal m11 = transform.m11(), m12 = transform.m12(), m13 = transform.m13();
    const qreal m22 = transform.m22(), m31 = transform.m31(), m32 = transform.m32(), m33 = transform.m33();
    const int width = image.width();
    const int height = image.height();
    m_columns.resize(size_t(std::max(bounds.width(), 0)));
    for (int i = 0; i < bounds.width(); ++i) {
        Column& column = m_columns[size_t(i)];
        // Pixel centres are sampled, as the raster engine does.
        const qreal targetX = bounds.left() + i + 0.5;
        const qreal x = (m31 - targetX * m33) / (targetX * m13 - m11);
        const qreal w = m13 * x + m33;
        if (!(x >= 0 && x < width) || w <= 0) {
            column.firstRow = column.endRow = 0;
            continue;
        }
        const qreal top = (m12 * x + m32) / w;
        const qreal bottom = (m12 * x + m22 * height + m32) / w;
        column.firstRow = std::clamp(int(std::ceil(top - 0.5)), bounds.top(), bounds.bottom() + 1);
        column.endRow = std::clamp(int(std::ceil(bottom - 0.5)), bounds.top(), bounds.bottom() + 1);
        const qreal u = x - 0.5;
        column.left = std::clamp(int(std::floor(u)), 0, width - 1);
        column.right = column.left + 1 < width && u >= 0 ? 1 : 0;
        // The painter's opacity comes with the weights across. At the edges the right pixel
        // counts for nothing, so it may be read as the neighbour of the left one.
        const int weight = column.right ? int((u - std::floor(u)) * 256) : 0;
        std::fill_n(column.across, 4, quint16((256 - weight) * opacity >> 8));
        std::fill_n(column.across + 4, 4, quint16(weight * opacity >> 8));
        const qreal step = w / m22;
        column.step = std::llround(step * 65536);
        column.v = std::llround(((bounds.top() + 0.5) * step - (m12 * x + m32) / m22 - 0.5) * 65536);
    }

    // Only columns that show the picture, from the first to the last.
    const auto shows = [](const Column& column) { return column.firstRow < column.endRow; };
    const auto firstShown = std::find_if(m_columns.begin(), m_columns.end(), shows);
    const auto lastShown = std::find_if(m_columns.rbegin(), m_columns.rend(), shows).base();
    if (firstShown < lastShown) {
        bounds.setLeft(bounds.left() + int(firstShown - m_columns.begin()));
        bounds.setWidth(int(lastShown - firstShown));
        m_columns.erase(lastShown, m_columns.end());
        m_columns.erase(m_columns.begin(), firstShown);
    } else {
        bounds = QRect();
    }
    if (bounds.isEmpty() && !overBlack)
        return;

    m_bands.clear();
    for (const QRect& rect : clip) {
        const QRect part = overBlack ? rect : rect & bounds;
        for (int top = part.top(); top <= part.bottom(); top += bandRows)
            m_bands.emplace_back(part.left(), top, part.width(), std::min(bandRows, part.bottom() + 1 - top));
    }

    // Bands across the cores: each pixel is independent of the others.
    const Pass pass{reinterpret_cast<const quint32*>(image.constBits()),
                    image.bytesPerLine() / 4,
                    width - 1,
                    height - 1,
                    m_columns.data(),
                    bounds,
                    bits,
                    bytesPerLine,
                    overBlack};
    // A scale without a turn reads the same source rows in every column.
    const auto rows = m12 == 0 && m13 == 0 ? &SwingRenderer::scaledRows : &SwingRenderer::turnedRows;
    QtConcurrent::blockingMap(m_bands, [&](const QRect& band) { rows(pass, band); });
}

void SwingRenderer::scaledRows(const Pass pass, const QRect& band)
{
    const auto [left, right] = pictureColumns(band, pass.bounds);
    const int count = right - left + 1;
    const Column* const columns = count > 0 ? pass.columns + (left - pass.bounds.left()) : nullptr;
    const int firstRow = count > 0 ? columns[0].firstRow : 0;
    const int endRow = count > 0 ? columns[0].endRow : 0;
    const int from = count > 0 ? std::min(columns[0].left, columns[count - 1].left) : 0;
    const int sources = count > 0 ? std::max(columns[0].left, columns[count - 1].left) + 1 - from : 0;
    // Each row's two source rows mixed down once, then read across in pairs for each pixel.
    std::vector<quint32> mixed(size_t(sources) + 1);
    for (int row = band.top(); row <= band.bottom(); ++row) {
        auto* line = reinterpret_cast<quint32*>(pass.target + row * pass.targetStride);
        const bool shown = row >= firstRow && row < endRow;
        if (pass.overBlack) {
            blacken(line + band.left(), line + (shown ? left : band.right() + 1));
            if (shown)
                blacken(line + right + 1, line + band.right() + 1);
        }
        if (!shown)
            continue;
        const qint64 v = columns[0].v + (row - pass.bounds.top()) * columns[0].step;
        const quint32* upper = pass.source + std::clamp<qint64>(v >> 16, 0, pass.lastRow) * pass.sourceStride;
        const quint32* lower = v >> 16 < pass.lastRow && v >= 0 ? upper + pass.sourceStride : upper;
        mixRows(upper + from, lower + from, std::min(sources + 1, pass.lastColumn + 1 - from),
                quint16((v >> 8) & 0xff), mixed.data());
        line += left;
        const auto pair = [&](int i) { return load(mixed.data() + (columns[i].left - from)); };
        int i = 0;
        for (; i + 2 <= count; i += 2)
            put(line + i, mixAcross(pair(i), columns[i].across, pair(i + 1), columns[i + 1].across),
                pass.overBlack);
        if (i < count)
            put(line + i, mixAcross(pair(i), columns[i].across, pair(i), columns[i].across), pass.overBlack,
                false);
    }
}

void SwingRenderer::turnedRows(const Pass pass, const QRect& band)
{
    const auto [left, right] = pictureColumns(band, pass.bounds);
    const Column* const columns = left <= right ? pass.columns + (left - pass.bounds.left()) : nullptr;
    for (int row = band.top(); row <= band.bottom(); ++row) {
        auto* line = reinterpret_cast<quint32*>(pass.target + row * pass.targetStride);
        if (pass.overBlack) {
            blacken(line + band.left(), line + left);
            blacken(line + right + 1, line + band.right() + 1);
        }
        const qint64 fromTop = row - pass.bounds.top();
        for (int x = left; x <= right; ++x) {
            const Column& column = columns[x - left];
            quint32& pixel = line[x];
            // The picture's empty parts leave the target as it is, or black.
            if (row < column.firstRow || row >= column.endRow) {
                if (pass.overBlack)
                    pixel = opaqueBlack;
                continue;
            }
            const qint64 v = column.v + fromTop * column.step;
            const quint32* upper =
                pass.source + std::clamp<qint64>(v >> 16, 0, pass.lastRow) * pass.sourceStride + column.left;
            const quint32* lower = v >> 16 < pass.lastRow && v >= 0 ? upper + pass.sourceStride : upper;
            const TwoPixels upperPair{upper[0], upper[column.right]};
            const TwoPixels lowerPair{lower[0], lower[column.right]};
            if (((upperPair | lowerPair)[0] | (upperPair | lowerPair)[1]) == 0) {
                if (pass.overBlack)
                    pixel = opaqueBlack;
                continue;
            }
            const auto down = quint16((v >> 8) & 0xff);
            const Lanes mixedDown = (widen(upperPair) * quint16(256 - down) + widen(lowerPair) * down) >> 8;
            const Lanes weighted = mixedDown * load(column.across);
            put(&pixel, (weighted + __builtin_shufflevector(weighted, weighted, 4, 5, 6, 7, 0, 1, 2, 3)) >> 8,
                pass.overBlack, false);
        }
    }
}

} // namespace lumi
