#pragma once

#include <QList>

namespace lumi {

// One image size in which the photo CDN offers every catalog photo.
struct MediaFormat final
{
    int width = 0;
    int height = 0;
    // Width to height as the catalog lists it (two decimals), never computed; equal aspects group
    // the rows that bestFit chooses between.
    double aspect = 0;

    // The catalog's 13 formats; their order decides ties.
    static const QList<MediaFormat>& all();
    // The format for a display of this pixel size: nearest aspect, then nearest width, the
    // earlier row on ties; 2560x1440 for a size below 1 pixel.
    static MediaFormat bestFit(int width, int height);

    bool operator==(const MediaFormat&) const = default;
};

size_t qHash(const MediaFormat& format, size_t seed = 0) noexcept;

} // namespace lumi
