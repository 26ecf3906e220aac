#include "model/MediaFormat.h"

#include <QHashFunctions>

#include <cmath>
#include <cstdlib>

namespace lumi {

const QList<MediaFormat>& MediaFormat::all()
{
    static const QList<MediaFormat> formats{
        {1280, 1024, 1.25}, {2736, 1824, 1.5},  {2880, 1800, 1.6},  {2560, 1440, 1.78}, {3440, 1440, 2.39},
        {3840, 1080, 3.55}, {4096, 2160, 1.9},  {3840, 2160, 1.78}, {4096, 2304, 1.78}, {5120, 2880, 1.78},
        {5120, 1440, 3.55}, {2048, 1536, 1.33}, {3456, 2234, 1.54},
    };
    return formats;
}

MediaFormat MediaFormat::bestFit(int width, int height)
{
    const QList<MediaFormat>& formats = all();
    if (width < 1 || height < 1)
        return formats.at(3);

    const double ratio = double(width) / double(height);
    double aspect = formats.first().aspect;
    for (const MediaFormat& format : formats) {
        if (std::abs(format.aspect - ratio) < std::abs(aspect - ratio))
            aspect = format.aspect;
    }

    const MediaFormat* best = nullptr;
    for (const MediaFormat& format : formats) {
        if (format.aspect != aspect)
            continue;
        if (!best || std::abs(format.width - width) < std::abs(best->width - width))
            best = &format;
    }
    return *best;
}

size_t qHash(const MediaFormat& format, size_t seed) noexcept
{
    return qHashMulti(seed, format.width, format.height, format.aspect);
}

} // namespace lumi
