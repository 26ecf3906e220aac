#pragma once

#include "wallpaper/SyncedPhotos.h"

namespace lumi {

class Defaults;

/// Looks synced photos up in the wallpaper and screen saver folders of a photo directory, reading
/// the folders at each call so a photo synced a moment ago is found.
class LibrarySyncedPhotos final : public SyncedPhotos
{
public:
    /// photoDirectory: the base of the "Lumivale" folders (the sync reads it once per run too);
    /// defaults: where this computer's folder links are recorded.
    LibrarySyncedPhotos(QString photoDirectory, const Defaults& defaults);

    std::optional<QString> syncedFile(const QString& shortId) const override;
    bool isOwnFile(const QString& path) const override;

private:
    QString m_photoDirectory;
    const Defaults& m_defaults;
};

} // namespace lumi
