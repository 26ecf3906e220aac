#pragma once

#include <QString>

namespace lumi {

/// The folders of the photo library below a photo directory.
struct LibraryLayout final
{
    static inline const QString appFolderName = QStringLiteral("Lumivale");
    static inline const QString playlistFolderName = QStringLiteral("Lumivale Playlist");

    QString base;
    QString playlistRoot; ///< one folder per playlist
    QString paperDir;     ///< links of the wallpaper playlists' photos
    QString saverDir;     ///< links of the screen-saver playlists' photos
    QString imagesDir;    ///< previews of local photos

    static LibraryLayout at(const QString& base);
};

} // namespace lumi
