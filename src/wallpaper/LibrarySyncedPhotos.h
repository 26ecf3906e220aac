#pragma once

#include "wallpaper/SyncedPhotos.h"

namespace lumi {

class Defaults;
class RotationLibrary;

/// Looks synced photos up in the sync's indexes of the wallpaper and screen saver folders, so a
/// change reads no folder; an indexed file that has gone since counts as not synced.
class LibrarySyncedPhotos final : public SyncedPhotos
{
public:
    /// photoDirectory: the base of the "Lumivale" folders (the sync reads it once per run too);
    /// library: the sync's indexes; defaults: where this computer's folder links are recorded.
    LibrarySyncedPhotos(QString photoDirectory, const RotationLibrary& library, const Defaults& defaults);

    std::optional<QString> syncedFile(const QString& shortId) const override;
    bool isOwnFile(const QString& path) const override;

private:
    QString m_photoDirectory;
    const RotationLibrary& m_library;
    const Defaults& m_defaults;
};

} // namespace lumi
