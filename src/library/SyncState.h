#pragma once

#include "model/MediaFormat.h"

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

struct Album;
struct DisplayInfo;
struct User;
class Defaults;

/// The two decisions a sync pass rests on: the photo size it downloads at, and the state text that
/// tells whether anything that decides its result changed since the last complete pass.
class SyncState final
{
public:
    SyncState() = delete;

    /// bestFit of the display with the largest pixel area (the earlier one on a tie); 2560x1440
    /// without displays.
    static MediaFormat targetFormat(const QList<DisplayInfo>& displays);
    /// The catalog row "sync-format" names ("<width>x<height>"); none when absent or unknown.
    static std::optional<MediaFormat> storedFormat(const Defaults& defaults);
    static std::optional<MediaFormat> parseFormat(const QString& text);
    /// The stored format unless the target is larger: photos are never fetched again smaller.
    static MediaFormat passFormat(const MediaFormat& target, const std::optional<MediaFormat>& stored);
    static qint64 area(const MediaFormat& format) { return qint64(format.width) * format.height; }
    static QString formatText(const MediaFormat& format);

    /// Marked for the wallpaper or the saver (absent marks count as false).
    static bool isMarked(const Album& album);
    static QList<Album> markedAlbums(const QList<Album>& albums);
    /// "<id>:<title>:<P><S>:<count or -1>".
    static QString stateEntry(const Album& album);
    /// "<playlists stamp>|<W>x<H>|<cdn or no-cdn>|<sorted entries of the marked albums>".
    static QString syncState(const QList<Album>& albums, const User& user, const MediaFormat& format);
    /// "<file name>:<modification time in seconds>" of the user's own photos in the folders of
    /// the marked albums, joined with ",".
    static QString localPhotoState(const QList<Album>& marked, const QString& playlistRoot,
                                   const Defaults& defaults);
    /// The whole state text a complete pass stores under "sync-state".
    static QString stateString(const QList<Album>& albums, const User& user, const MediaFormat& format,
                               const QString& playlistRoot, const Defaults& defaults);
    /// "<W>x<H>|<imported-photos fit or adapt>": what local renders were drawn with.
    static QString localLook(const MediaFormat& format, const User& user);
    /// False when the user's flags hold "no-cdn".
    static bool usesCdn(const User& user);
    /// The album's folder linked on this computer when it exists, else its folder below the
    /// playlist root.
    static std::optional<QString> albumFolder(const Album& album, const QString& playlistRoot,
                                              const Defaults& defaults);
};

} // namespace lumi
