#pragma once

#include "model/Album.h"
#include "model/User.h"

#include <QList>

#include <optional>

namespace lumi {

/// What the playlist sync reads of the application model, and the one thing it tells it.
class SyncSource
{
public:
    virtual ~SyncSource() = default;

    virtual bool isSignedIn() const = 0;
    virtual const std::optional<User>& user() const = 0;
    virtual const QList<Album>& albums() const = 0;
    /// The album list was loaded from the service in this session (cleared at sign-out). Before
    /// that the list is empty or stale, and a pass over it would delete every synced photo.
    virtual bool albumsLoaded() const = 0;
    /// The wallpaper and saver pools are built again from the folders a pass just filled.
    virtual void resetPhotoPools() = 0;
};

} // namespace lumi
