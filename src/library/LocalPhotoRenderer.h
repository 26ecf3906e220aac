#pragma once

#include <QCoroTask>
#include <QSize>
#include <QString>

#include <optional>

namespace lumi {

class Defaults;
struct MediaFormat;

/// Local photos (from linked folders and playlist folders) drawn at the sync format's size, so the
/// wallpaper and the saver treat them like catalog photos: on black, fitted as the user's
/// imported-photos setting says, with the file's orientation applied, written as JPEG.
/// The work runs on a low-priority thread, one image at a time; the coroutines resume on the
/// caller's thread.
class LocalPhotoRenderer final
{
public:
    LocalPhotoRenderer() = delete;

    static constexpr int jpegQuality = 90;

    /// Draws source onto a black canvas of target size and writes it to destination (replaced
    /// by a rename, never written through). False when the source is no readable image or the
    /// output can't be written. Safe off the main thread.
    static bool render(const QString& source, const QString& destination, QSize target,
                       const std::optional<QString>& fitSetting);

    static QCoro::Task<bool> renderLocalPhoto(QString source, QString destination, MediaFormat format,
                                              std::optional<QString> fitSetting);
    /// The 640x360 preview (`LocalPhotos::writePreview`) on the render thread.
    static QCoro::Task<bool> renderThumbnail(QString source, QString destination);

    /// The output is not older than its source and, for a non-empty look, was drawn with the look
    /// stored under "sync-local-look".
    static bool isRenderCurrent(const QString& output, const QString& source, const QString& look,
                                const Defaults& defaults);
};

} // namespace lumi
