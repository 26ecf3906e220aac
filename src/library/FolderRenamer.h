#pragma once

#include <QList>
#include <QString>

namespace lumi {

struct Album;
class AppLog;
class Defaults;

/// Moves a playlist's folder when its title changed since the last complete sync pass, so its
/// photos need not be fetched again.
class FolderRenamer final
{
public:
    FolderRenamer() = delete;

    /// For each album whose title differs from the one stored under "sync-playlist-titles":
    /// when the old folder is a real folder below the root and nothing is at the new place, the
    /// folder moves there. Linked folders never move; titles that give no folder are skipped.
    /// Failures are silent: the pass then downloads into the new folder and prunes the old one.
    static void renameFolders(const QString& playlistRoot, const QList<Album>& albums,
                              const Defaults& defaults, const AppLog& log);
};

} // namespace lumi
