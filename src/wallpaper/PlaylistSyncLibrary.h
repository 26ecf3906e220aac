#pragma once

#include "wallpaper/RotationLibrary.h"

namespace lumi {

class PlaylistSync;

/// The playlist sync as the rotation reads it.
class PlaylistSyncLibrary final : public RotationLibrary
{
public:
    /// sync must outlive this.
    explicit PlaylistSyncLibrary(PlaylistSync& sync) : m_sync(sync) {}

    const QString& paperDir() const override;
    const QHash<QString, QString>& paperIndex() const override;
    QList<Medium> folderPhotos(const QString& folder) const override;
    MediaFormat targetFormat() const override;
    std::optional<MediaFormat> storedFormat() const override;
    void requestSync(std::chrono::milliseconds delay, bool force) override;

private:
    PlaylistSync& m_sync;
};

} // namespace lumi
