#pragma once

#include "model/Album.h"
#include "model/User.h"

#include <QList>
#include <QString>

#include <optional>

namespace lumi {

/// What the rotation reads of the application model, and the one thing it tells it. The rotation
/// keeps no copy of the user's settings: it reads them here for every tick, change and redraw.
class RotationAccount
{
public:
    virtual ~RotationAccount() = default;

    /// A session token and a user with an id are held.
    virtual bool isSignedIn() const = 0;
    virtual const std::optional<User>& user() const = 0;
    /// The playlists in the model's order.
    virtual const QList<Album>& albums() const = 0;
    /// Shows a failure the user asked to see.
    virtual void setAlert(std::optional<QString> alert) = 0;
};

} // namespace lumi
