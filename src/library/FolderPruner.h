#pragma once

#include <QList>
#include <QString>

namespace lumi {

struct Album;
class Defaults;

/// Removes what no current playlist accounts for in the playlist root and in the previews folder.
/// It deletes only files the sync made (names that pass `PhotoFileNames::isAppFileName`) and the
/// previews it wrote, never a folder that still holds anything but ".DS_Store", never recurses
/// and never follows a symbolic link: a linked folder is left as it is, and so is its target.
class FolderPruner final
{
public:
    FolderPruner() = delete;

    /// In each folder directly below playlistRoot that is no playlist's folder nor a parent of
    /// one, deletes the sync's photo files, then the folder when nothing else is left.
    static void pruneStaleFolders(const QString& playlistRoot, const QList<Album>& albums);
    /// Deletes the previews ("<title>/<photo>/640x360.jpg") of local photos that are no longer in
    /// their playlist's folder, and the folders left empty directly below imagesDir.
    static void pruneThumbnails(const QString& imagesDir, const QString& playlistRoot,
                                const QList<Album>& albums, const Defaults& defaults);
};

} // namespace lumi
