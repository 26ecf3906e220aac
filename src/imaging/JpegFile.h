#pragma once

#include <QString>

#include <optional>

class QImage;

namespace lumi {

/// Pictures written as JPEG files that replace what was at their path in one step: encoded into a
/// hidden temporary file in the same folder, then renamed over the path. A failed write leaves the
/// old file as it was and no temporary behind; a link at the path is replaced, never written
/// through. Safe on any thread.
class JpegFile final
{
public:
    JpegFile() = delete;

    /// Wallpapers, the spanned picture and local renders: no loss to see at screen size.
    static constexpr int photoQuality = 95;

    /// None on success, else what went wrong.
    static std::optional<QString> write(const QImage& image, const QString& path, int quality);
};

} // namespace lumi
