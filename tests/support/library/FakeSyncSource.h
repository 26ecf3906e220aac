#pragma once

#include "library/SyncSource.h"

namespace lumi::test {

/// The application model as the sync reads it, set by the test. The real model needs the whole
/// session machinery; what the sync reads of it is four values.
class FakeSyncSource final : public SyncSource
{
public:
    bool isSignedIn() const override { return signedIn; }
    const std::optional<User>& user() const override { return signedInUser; }
    const QList<Album>& albums() const override { return albumList; }
    bool albumsLoaded() const override { return loaded; }
    void resetPhotoPools() override { ++poolResets; }

    bool signedIn = true;
    std::optional<User> signedInUser;
    QList<Album> albumList;
    bool loaded = true;
    int poolResets = 0;
};

} // namespace lumi::test
