#pragma once

#include <QString>

#include <optional>

namespace lumi {

/// Folders named by server data (playlist titles) below a root the app owns. A title may hold "/"
/// (nested folders) but may never lead out of the root: not by "..", not through a symbolic link
/// that points elsewhere, and not with a name the file system can't hold.
class PlaylistFolders final
{
public:
    PlaylistFolders() = delete;

    static constexpr int maxComponentBytes = 255;
    static inline const QString previewFileName = QStringLiteral("640x360.jpg");

    /// parent/name, cleaned; none when name is empty, holds U+0000 or a component over 255 bytes,
    /// when the cleaned path does not begin with the cleaned parent and "/", or when an existing
    /// part of it resolves (through symbolic links) outside the parent. Creates nothing.
    static std::optional<QString> childFolder(const QString& parent, const QString& name);
    /// The folder of a playlist title below the playlist root (or below the previews folder).
    static std::optional<QString> playlistFolder(const QString& root, const QString& title)
    {
        return childFolder(root, title);
    }
    /// imagesDir/<title>/<photo file name without extension>; none when the title gives no folder.
    static std::optional<QString> previewFolder(const QString& imagesDir, const QString& title,
                                                const QString& photoFileName);
    /// The preview file "640x360.jpg" in previewFolder.
    static std::optional<QString> previewFile(const QString& imagesDir, const QString& title,
                                              const QString& photoFileName);
    /// path is root itself or lies below it.
    static bool isWithin(const QString& path, const QString& root);
};

} // namespace lumi
