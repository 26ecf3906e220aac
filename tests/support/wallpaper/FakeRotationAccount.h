#pragma once

#include "wallpaper/RotationAccount.h"

#include <QStringList>

namespace lumi::test {

/// The signed-in account as the test sets it; records the alerts it is shown.
class FakeRotationAccount final : public RotationAccount
{
public:
    bool isSignedIn() const override { return signedIn && currentUser && currentUser->uuid; }
    const std::optional<User>& user() const override { return currentUser; }
    const QList<Album>& albums() const override { return playlists; }
    void setAlert(std::optional<QString> alert) override
    {
        if (alert)
            alerts.append(*alert);
    }

    bool signedIn = true;
    std::optional<User> currentUser;
    QList<Album> playlists;
    QStringList alerts;
};

} // namespace lumi::test
