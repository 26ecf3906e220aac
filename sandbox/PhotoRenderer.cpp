#include "PhotoRenderer.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

using namespace Qt::StringLiterals;

namespace lumi::sandbox {

namespace {

quint32 fnv1a(const QByteArray& bytes)
{
    quint32 hash = 2166136261u;
    for (const char byte : bytes) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

struct XorShift
{
    quint32 state;
    quint32 next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    double unit() { return next() / 4294967296.0; }
};

void drawScene(QImage& image, quint32 seed)
{
    const int w = image.width();
    const int h = image.height();
    XorShift rng{seed | 1u};
    const int hue = int(rng.next() % 360);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 120));
    sky.setColorAt(0.6, QColor::fromHsv((hue + 40) % 360, 90, 235));
    sky.setColorAt(1, QColor::fromHsv((hue + 70) % 360, 60, 250));
    painter.fillRect(image.rect(), sky);

    const double sunX = (0.15 + 0.7 * rng.unit()) * w;
    const double sunY = (0.15 + 0.25 * rng.unit()) * h;
    const double sunR = (0.05 + 0.05 * rng.unit()) * std::min(w, h);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv((hue + 180) % 360, 40, 255, 220));
    painter.drawEllipse(QPointF(sunX, sunY), sunR, sunR);

    // Ridges from far (pale) to near (dark); shapes scale with the image, so every variant of a
    // photo shows the same scene.
    for (int layer = 0; layer < 3; ++layer) {
        const double base = (0.55 + 0.13 * layer) * h;
        const double amplitude = (0.10 - 0.025 * layer) * h;
        double frequency[3];
        double phase[3];
        for (int k = 0; k < 3; ++k) {
            frequency[k] = (1.0 + k * 2.3 + rng.unit()) * 2.0 * M_PI;
            phase[k] = rng.unit() * 2.0 * M_PI;
        }
        QPainterPath ridge(QPointF(0, h));
        const int steps = 96;
        for (int i = 0; i <= steps; ++i) {
            const double x = double(i) / steps;
            double y = 0;
            for (int k = 0; k < 3; ++k)
                y += std::sin(x * frequency[k] + phase[k]) / (k + 1);
            ridge.lineTo(x * w, base - amplitude * y);
        }
        ridge.lineTo(w, h);
        ridge.closeSubpath();
        painter.setBrush(QColor::fromHsv((hue + 200 + 20 * layer) % 360, 80 + 40 * layer, 170 - 55 * layer));
        painter.drawPath(ridge);
    }
}

// A small identifying label in the top-right corner, clear of where the app writes its own texts
// (the title at the bottom left, the calendar, the sign-in taglines).
void drawLabel(QImage& image, const QString& text)
{
    const int w = image.width();
    const int h = image.height();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(std::max(9, h / 90));
    const QFontMetrics metrics(font);
    const int pad = std::max(2, font.pixelSize() / 3);
    const int margin = std::max(3, h / 80);
    QRect box(0, 0, std::min(w * 2 / 5, metrics.horizontalAdvance(text) + 2 * pad),
              metrics.height() + 2 * pad);
    box.moveTopRight(QPoint(w - 1 - margin, margin));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawRoundedRect(box, pad, pad);
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255, 220));
    painter.drawText(box.adjusted(pad, pad, -pad, -pad), Qt::AlignRight | Qt::AlignVCenter,
                     metrics.elidedText(text, Qt::ElideRight, box.width() - 2 * pad));
}

void addGrain(QImage& image, quint32 seed, int amplitude)
{
    XorShift rng{seed ^ 0x9e3779b9u};
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(rng.next() >> 24) - 128;
            const int delta = noise * amplitude / 128;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + delta, 0, 255), std::clamp(qGreen(p) + delta, 0, 255),
                           std::clamp(qBlue(p) + delta, 0, 255));
        }
    }
}

QByteArray encode(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(85);
    if (!writer.write(image))
        return {};
    return bytes;
}

} // namespace

QByteArray PhotoRenderer::renderJpeg(const QString& uuid, const QString& title, int width, int height)
{
    const quint32 seed = fnv1a(uuid.toUtf8());
    QImage scene(width, height, QImage::Format_RGB32);
    scene.setDotsPerMeterX(2835);
    scene.setDotsPerMeterY(2835);
    drawScene(scene, seed);
    drawLabel(scene, u"%1 · %2 × %3 · %4"_s.arg(title).arg(width).arg(height).arg(uuid.left(8)));

    // Small variants get coarser grain; whatever is still missing to the minimum size is made up
    // with JPEG comment segments, which every decoder skips.
    addGrain(scene, seed ^ quint32(width * 7919 + height), qint64(width) * height < 1'000'000 ? 24 : 8);
    QByteArray jpeg = encode(scene);
    if (jpeg.size() < 2)
        return {};
    while (jpeg.size() < minimumBytes) {
        const qsizetype payload = std::clamp<qsizetype>(minimumBytes - jpeg.size() - 4, 1, 65533);
        QByteArray segment("\xff\xfe", 2);
        segment.append(char((payload + 2) >> 8)).append(char((payload + 2) & 0xff));
        segment.append(payload, 'L');
        jpeg.insert(2, segment);
    }
    return jpeg;
}

} // namespace lumi::sandbox
