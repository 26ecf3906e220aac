#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lumi {

struct MediaFormat;

/// Names and upkeep of the wallpaper's two folders: the composed pictures and, inside them, the
/// downloaded catalog variants.
class WallpaperFiles final
{
public:
    WallpaperFiles() = delete;

    /// The uuid lower-cased with every non-hexadecimal character dropped, cut to 8 characters;
    /// "photo" when nothing is left.
    static QString shortId(const QString& uuid);
    /// "<short id>-<width>x<height>".
    static QString variantName(const QString& uuid, const MediaFormat& variant);
    /// "<variant name>-<milliseconds>.jpg" in folder, counting the milliseconds up past any name
    /// already taken, so every change hands the desktop a name it has not cached.
    static QString composedFile(const QString& folder, const QString& variantName, qint64 milliseconds);

    /// Keeps the newest `keep` files ending exactly in ".jpg" (by modification time, a missing
    /// time counting as oldest) and removes the older ones, except the spared paths. Removal
    /// errors are ignored.
    static void prune(const QString& folder, int keep, const QStringList& spared = {});
    /// Removes every ".jpg" file of the folder except the spared paths. None when done (also when
    /// the folder is missing), else what could not be listed or removed.
    static std::optional<QString> removeAll(const QString& folder, const QStringList& spared);
};

} // namespace lumi
