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
/// imported-photos setting says, with the file's orientation applied, written as JPEG; and their
/// 640x360 previews. The work runs on a low-priority thread, one image at a time; the coroutines resume on
/// the caller's thread.
class LocalPhotoRenderer final
{
public:
    LocalPhotoRenderer() = delete;

    static constexpr int previewWidth = 640;
    static constexpr int previewHeight = 360;
    /// The preview is drawn from the photo decoded with its larger side at most this.
    static constexpr int previewSource = 1280;
    static constexpr int previewQuality = 90;

    /// Draws source onto a black canvas of target size and writes it to destination at JPEG
    /// quality 95 (replaced by a rename, never written through). False when the source is no
    /// readable image or the output can't be written. Safe off the main thread.
    static bool render(const QString& source, const QString& destination, QSize target,
                       const std::optional<QString>& fitSetting);
    /// Writes the 640x360 preview (cover, on black, JPEG quality 90), creating its folder.
    /// Safe off the main thread.
    static bool writePreview(const QString& source, const QString& destination);

    static QCoro::Task<bool> renderLocalPhoto(QString source, QString destination, MediaFormat format,
                                              std::optional<QString> fitSetting);
    /// The preview (`writePreview`) on the render thread.
    static QCoro::Task<bool> renderThumbnail(QString source, QString destination);

    /// The output is not older than its source and, for a non-empty look, was drawn with the look
    /// stored under "sync-local-look".
    static bool isRenderCurrent(const QString& output, const QString& source, const QString& look,
                                const Defaults& defaults);
};

} // namespace lumi
