// Wallpaper composition against its floor: decoding the same source JPEG and encoding the very
// picture the composer made, with Qt and nothing else. Prints the median of several runs per case, the ratio
// composition/floor, and the peak memory of one composition measured in a fresh process.
//
//     compose [runs]

#include "imaging/JpegFile.h"
#include "wallpaper/CalendarRenderer.h"
#include "wallpaper/WallpaperComposer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using namespace lumi;

namespace {

struct Case
{
    const char* key;
    const char* label;
    QSize source;
    ScreenGeometry screen;
    WallpaperFit fit;
};

const Case cases[] = {
    {"a",
     "3840x2160 fit from a 2560x1440 JPEG",
     {2560, 1440},
     {3840, 2160, 0, 0, 0, 0, 1},
     WallpaperFit::fit},
    {"b",
     "5120x2880 fit from a 5120x2880 JPEG",
     {5120, 2880},
     {2560, 1440, 0, 0, 0, 0, 2},
     WallpaperFit::fit},
    {"c",
     "1920x1080 fill from a 2560x1440 JPEG",
     {2560, 1440},
     {1920, 1080, 0, 0, 0, 0, 1},
     WallpaperFit::fill},
};

// Something like a photo for the codec: soft gradients, shapes and fine grain.
QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        QLinearGradient sky(0, 0, 0, size.height());
        sky.setColorAt(0, QColor(70, 130, 200));
        sky.setColorAt(0.6, QColor(230, 200, 160));
        sky.setColorAt(1, QColor(60, 90, 50));
        painter.fillRect(image.rect(), sky);
        QRandomGenerator random(7);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 400; ++i) {
            const QColor color =
                QColor::fromHsv(random.bounded(360), 80 + random.bounded(150), 60 + random.bounded(190));
            painter.setBrush(color);
            painter.setPen(Qt::NoPen);
            const int w = size.width() / 40 + random.bounded(size.width() / 8);
            painter.drawEllipse(random.bounded(size.width()), random.bounded(size.height()), w, w * 2 / 3);
        }
    }
    QRandomGenerator grain(11);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int n = int(grain.bounded(17)) - 8;
            const QRgb p = row[x];
            row[x] = qRgb(std::clamp(qRed(p) + n, 0, 255), std::clamp(qGreen(p) + n, 0, 255),
                          std::clamp(qBlue(p) + n, 0, 255));
        }
    }
    return image;
}

CalendarOverlay overlay()
{
    CalendarOverlay calendar;
    calendar.request.theme = u"classic"_s;
    calendar.request.year = 2026;
    calendar.request.month = 12;
    calendar.request.day = 9;
    calendar.request.future = 1;
    calendar.baseSize = CalendarRenderer::imageSize(calendar.request);
    calendar.isRight = true;
    return calendar;
}

const QString title = u"Lake Bled at Dawn, Slovenia"_s;

bool composeOnce(const QString& source, const Case& c, const QString& destination)
{
    QFile::remove(destination);
    const std::optional<QString> failure =
        WallpaperComposer::compose(source, overlay(), c.fit, title, c.screen, destination);
    if (failure)
        std::fprintf(stderr, "compose failed: %s\n", qPrintable(*failure));
    return !failure;
}

// The picture the composer encodes for the case.
QImage composedPicture(const QString& source, const Case& c)
{
    QString error;
    const QImage picture = WallpaperComposer::draw(source, overlay(), c.fit, title, c.screen, &error);
    if (picture.isNull())
        std::fprintf(stderr, "draw failed: %s\n", qPrintable(error));
    return picture;
}

bool floorOnce(const QString& source, const QImage& output, const QString& destination)
{
    QFile::remove(destination);
    const QImage decoded = QImageReader(source).read();
    QImageWriter writer(destination, "jpeg");
    writer.setQuality(JpegFile::photoQuality);
    return !decoded.isNull() && writer.write(output);
}

double millisecondsOf(const std::function<bool()>& run)
{
    QElapsedTimer timer;
    timer.start();
    const bool ok = run();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return ok ? ms : -1;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

qint64 statusKiB(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Child: one composition (or one floor run) after a small warm-up, printing the peak RSS above
// the resident size before it, in KiB. Resetting the high-water mark needs Linux's clear_refs.
int measurePeak(const QString& which, const Case& c, const QString& source, const QString& destination)
{
    const Case tiny{"w", "warm-up", {64, 36}, {64, 36, 0, 0, 0, 0, 1}, WallpaperFit::fit};
    composeOnce(source, tiny, destination); // loads the fonts and the codec
    const QImage output = which == u"floor" ? composedPicture(source, c) : QImage();
    malloc_trim(0);
    const qint64 before = statusKiB("VmRSS:");
    QFile reset(u"/proc/self/clear_refs"_s);
    if (!reset.open(QIODevice::WriteOnly) || reset.write("5") != 1)
        return 2;
    reset.close();
    const bool ok =
        which == u"floor" ? floorOnce(source, output, destination) : composeOnce(source, c, destination);
    const qint64 peak = statusKiB("VmHWM:");
    std::printf("%lld\n", static_cast<long long>(peak - before));
    return ok ? 0 : 1;
}

qint64 peakInChild(const QString& which, const Case& c, const QString& source, const QString& destination)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {u"--peak"_s, which, QString::fromLatin1(c.key), source, destination});
    if (!child.waitForFinished(120'000) || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toLongLong();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();

    if (args.size() == 6 && args.at(1) == u"--peak") {
        for (const Case& c : cases) {
            if (args.at(3) == QString::fromLatin1(c.key))
                return measurePeak(args.at(2), c, args.at(4), args.at(5));
        }
        return 2;
    }

    const int runs = args.size() > 1 ? std::max(3, args.at(1).toInt()) : 15;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    std::printf("bench/compose: median of %d runs per case, each after 2 warm-up runs\n\n", runs);

    for (const Case& c : cases) {
        const QString source = dir.filePath(u"source-%1.jpg"_s.arg(QString::fromLatin1(c.key)));
        const QString destination = dir.filePath(u"out-%1.jpg"_s.arg(QString::fromLatin1(c.key)));
        if (!photoLike(c.source).save(source, "JPEG", 92))
            return 1;
        // The floor encodes the composer's own picture, made beforehand.
        const QImage output = composedPicture(source, c);
        if (output.isNull())
            return 1;

        std::vector<double> composed;
        std::vector<double> floor;
        for (int i = 0; i < runs + 2; ++i) {
            const double f = millisecondsOf([&] { return floorOnce(source, output, destination); });
            const double m = millisecondsOf([&] { return composeOnce(source, c, destination); });
            if (f < 0 || m < 0)
                return 1;
            if (i >= 2) {
                floor.push_back(f);
                composed.push_back(m);
            }
        }
        const double medianComposed = median(composed);
        const double medianFloor = median(floor);
        const QSize out = output.size();
        const double bitmapMiB = double(out.width()) * out.height() * 4 / (1024.0 * 1024.0);
        const qint64 peakCompose = peakInChild(u"compose"_s, c, source, destination);
        const qint64 peakFloor = peakInChild(u"floor"_s, c, source, destination);

        std::printf("(%s) %s\n", c.key, c.label);
        std::printf("    compose  median %7.1f ms\n", medianComposed);
        std::printf("    floor    median %7.1f ms  (decode the source + encode %dx%d at quality %d)\n",
                    medianFloor, out.width(), out.height(), JpegFile::photoQuality);
        std::printf("    ratio    %7.2f  (target <= 1.30)\n", medianComposed / medianFloor);
        std::printf("    peak memory of one composition: %.1f MiB = %.2f x the %.1f MiB output bitmap "
                    "(target <= 3)\n",
                    peakCompose / 1024.0, peakCompose / 1024.0 / bitmapMiB, bitmapMiB);
        std::printf("    peak memory of one floor run:   %.1f MiB\n\n", peakFloor / 1024.0);
    }
    return 0;
}
