#include "wallpaper/AlphaShadow.h"

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace lumi {

namespace {

// Box widths whose three passes approximate a Gaussian of the given sigma.
std::array<int, 3> boxRadii(qreal sigma)
{
    constexpr int passes = 3;
    const qreal ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const qreal lowerCount =
        (12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes) / (-4 * lower - 4);
    const int m = int(std::lround(lowerCount));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i)
        radii[i] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// Box sums divide by a fixed-point reciprocal: a division per pixel costs more than the rest.
struct BoxScale
{
    explicit BoxScale(int radius) : width(2 * radius + 1), factor((65536u + uint(width) / 2) / uint(width)) {}
    uchar operator()(uint sum) const { return uchar(std::min(255u, (sum * factor + 32768u) >> 16)); }
    int width;
    uint factor;
};

void boxRows(const uchar* in, uchar* out, int w, int h, qsizetype stride, int radius)
{
    const BoxScale scale(radius);
    for (int y = 0; y < h; ++y) {
        const uchar* row = in + y * stride;
        uchar* target = out + y * stride;
        uint sum = 0;
        for (int x = 0; x <= radius && x < w; ++x)
            sum += row[x];
        for (int x = 0; x < w; ++x) {
            target[x] = scale(sum);
            if (x + radius + 1 < w)
                sum += row[x + radius + 1];
            if (x - radius >= 0)
                sum -= row[x - radius];
        }
    }
}

// Runs down all columns at once, row by row, so memory is read in order.
void boxColumns(const uchar* in, uchar* out, int w, int h, qsizetype stride, int radius)
{
    const BoxScale scale(radius);
    std::vector<uint> sums(static_cast<size_t>(w), 0);
    for (int y = 0; y <= radius && y < h; ++y) {
        const uchar* row = in + y * stride;
        for (int x = 0; x < w; ++x)
            sums[x] += row[x];
    }
    for (int y = 0; y < h; ++y) {
        uchar* target = out + y * stride;
        for (int x = 0; x < w; ++x)
            target[x] = scale(sums[x]);
        if (y + radius + 1 < h) {
            const uchar* row = in + (y + radius + 1) * stride;
            for (int x = 0; x < w; ++x)
                sums[x] += row[x];
        }
        if (y - radius >= 0) {
            const uchar* row = in + (y - radius) * stride;
            for (int x = 0; x < w; ++x)
                sums[x] -= row[x];
        }
    }
}

// A narrow blur is done exactly: three boxes are too coarse below a few pixels.
void gaussian(uchar* bits, int w, int h, qsizetype stride, qreal sigma)
{
    const int reach = int(std::ceil(3 * sigma));
    std::vector<uint> weights(size_t(2 * reach + 1));
    double total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += std::exp(-k * k / (2 * sigma * sigma));
    for (int k = -reach; k <= reach; ++k)
        weights[size_t(k + reach)] =
            uint(std::lround(65536 * std::exp(-k * k / (2 * sigma * sigma)) / total));

    std::vector<uchar> rows(size_t(stride) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar* in = bits + y * stride;
        uchar* out = rows.data() + y * stride;
        for (int x = 0; x < w; ++x) {
            uint sum = 0;
            for (int k = std::max(-reach, -x); k <= reach && x + k < w; ++k)
                sum += weights[size_t(k + reach)] * in[x + k];
            out[x] = uchar(std::min(255u, (sum + 32768u) >> 16));
        }
    }
    std::vector<uint> sums(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int k = std::max(-reach, -y); k <= reach && y + k < h; ++k) {
            const uchar* in = rows.data() + (y + k) * stride;
            const uint weight = weights[size_t(k + reach)];
            for (int x = 0; x < w; ++x)
                sums[size_t(x)] += weight * in[x];
        }
        uchar* out = bits + y * stride;
        for (int x = 0; x < w; ++x)
            out[x] = uchar(std::min(255u, (sums[size_t(x)] + 32768u) >> 16));
    }
}

QImage tinted(const QImage& mask, const QColor& color)
{
    QImage out(mask.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const QRgb rgba = color.rgba();
    const uint r = qRed(rgba), g = qGreen(rgba), b = qBlue(rgba), a = qAlpha(rgba);
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* in = mask.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < mask.width(); ++x) {
            const uint alpha = (a * in[x] + 127) / 255;
            line[x] = qRgba((r * alpha + 127) / 255, (g * alpha + 127) / 255, (b * alpha + 127) / 255, alpha);
        }
    }
    return out;
}

} // namespace

void AlphaShadow::blurAlpha(QImage& alpha, qreal sigma)
{
    if (alpha.format() != QImage::Format_Alpha8 || alpha.isNull() || !std::isfinite(sigma) || sigma < 0.5)
        return;
    const int w = alpha.width();
    const int h = alpha.height();
    const qsizetype stride = alpha.bytesPerLine();
    if (sigma < 3) {
        gaussian(alpha.bits(), w, h, stride, sigma);
        return;
    }
    std::vector<uchar> scratch(size_t(stride) * size_t(h));
    uchar* bits = alpha.bits();
    for (int radius : boxRadii(sigma)) {
        if (radius < 1)
            continue;
        boxRows(bits, scratch.data(), w, h, stride, radius);
        boxColumns(scratch.data(), bits, w, h, stride, radius);
    }
}

void AlphaShadow::dilateAlpha(QImage& alpha, qreal radius)
{
    if (alpha.format() != QImage::Format_Alpha8 || alpha.isNull() || !std::isfinite(radius) || radius <= 0)
        return;
    const int whole = int(radius);
    const uint fraction = uint(std::lround((radius - whole) * 256));
    const int w = alpha.width();
    const int h = alpha.height();
    const qsizetype stride = alpha.bytesPerLine();
    uchar* bits = alpha.bits();
    std::vector<uchar> source(size_t(stride) * size_t(h));
    const auto partial = [fraction](uchar value) { return uchar((value * fraction) >> 8); };

    // Rows, then columns: a square of the radius, close enough to a disc under the blur that follows.
    std::copy(bits, bits + source.size(), source.begin());
    for (int y = 0; y < h; ++y) {
        const uchar* in = source.data() + y * stride;
        uchar* out = bits + y * stride;
        for (int x = 0; x < w; ++x) {
            uchar value = in[x];
            for (int k = 1; k <= whole; ++k) {
                if (x >= k)
                    value = std::max(value, in[x - k]);
                if (x + k < w)
                    value = std::max(value, in[x + k]);
            }
            if (fraction > 0) {
                if (x > whole)
                    value = std::max(value, partial(in[x - whole - 1]));
                if (x + whole + 1 < w)
                    value = std::max(value, partial(in[x + whole + 1]));
            }
            out[x] = value;
        }
    }

    std::copy(bits, bits + source.size(), source.begin());
    for (int y = 0; y < h; ++y) {
        uchar* out = bits + y * stride;
        for (int k = -whole; k <= whole; ++k) {
            if (k == 0 || y + k < 0 || y + k >= h)
                continue;
            const uchar* in = source.data() + (y + k) * stride;
            for (int x = 0; x < w; ++x)
                out[x] = std::max(out[x], in[x]);
        }
        if (fraction == 0)
            continue;
        for (const int k : {-whole - 1, whole + 1}) {
            if (y + k < 0 || y + k >= h)
                continue;
            const uchar* in = source.data() + (y + k) * stride;
            for (int x = 0; x < w; ++x)
                out[x] = std::max(out[x], partial(in[x]));
        }
    }
}

void AlphaShadow::paint(QPainter& target, const QRectF& bounds, qreal blur, const QColor& color,
                        const std::function<void(QPainter&)>& draw, qreal spread)
{
    const QPaintDevice* device = target.device();
    if (!device || !std::isfinite(blur) || blur < 0 || !std::isfinite(spread) || spread < 0 ||
        !bounds.isValid() || color.alpha() == 0)
        return;
    const qreal sigma = blur / 2;
    // A wide blur leaves no detail that a coarser mask would lose, and costs far less there.
    const int factor = std::max(1, int(sigma / 2));
    const int margin = (int(std::ceil(3 * sigma + spread)) / factor + 1) * factor;
    const QTransform world = target.worldTransform();
    // Shapes just off the image still cast their shadow into it, so the mask reaches past the edge.
    const QRect reach(-margin, -margin, device->width() + 2 * margin, device->height() + 2 * margin);
    const QRect area =
        world.mapRect(bounds).toAlignedRect().adjusted(-margin, -margin, margin, margin) & reach;
    if (area.isEmpty())
        return;

    // Shapes are rasterised into ARGB32: Qt's fills into 8-bit alpha images take a far slower path.
    QImage shape((area.width() + factor - 1) / factor, (area.height() + factor - 1) / factor,
                 QImage::Format_ARGB32_Premultiplied);
    if (shape.isNull())
        return;
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setTransform(world * QTransform::fromTranslate(-area.x(), -area.y()) *
                             QTransform::fromScale(1.0 / factor, 1.0 / factor));
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        draw(painter);
    }
    QImage mask = shape.convertToFormat(QImage::Format_Alpha8);
    if (mask.isNull())
        return;
    dilateAlpha(mask, spread / factor);
    blurAlpha(mask, sigma / factor);
    const QImage shadow = tinted(mask, color);
    if (shadow.isNull())
        return;

    target.save();
    target.resetTransform();
    target.setRenderHint(QPainter::SmoothPixmapTransform);
    target.drawImage(QRectF(area.topLeft(), QSizeF(shadow.size() * factor)), shadow);
    target.restore();
}

} // namespace lumi
