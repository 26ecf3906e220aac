#pragma once

#include "model/Album.h"
#include "model/User.h"

#include <QList>
#include <QObject>

#include <optional>

namespace lumi {

/// The shared session state: whether someone is signed in, their user record and their playlists.
/// The application model is its one writer; services read it through a const reference handed to
/// their constructors, at the moment they need a value (they keep no copy). Each setter emits its
/// change signal only when the value differs.
class Account final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Account)

public:
    explicit Account(QObject* parent = nullptr);
    ~Account() override;

    /// A session token and a user with an id are held.
    bool isSignedIn() const { return m_hasSessionToken && m_user && m_user->uuid; }
    /// The model holds a session token (the token itself stays with the model and the API client).
    void setHasSessionToken(bool has);
    const std::optional<User>& user() const { return m_user; }
    void setUser(std::optional<User> user);
    /// The playlists in the service's order.
    const QList<Album>& albums() const { return m_albums; }
    void setAlbums(QList<Album> albums);
    /// The album list came from the service in this session (cleared at sign-out). Before that it
    /// is empty or stale, and a sync pass over it would delete every synced photo.
    bool albumsLoaded() const { return m_albumsLoaded; }
    void setAlbumsLoaded(bool loaded);

signals:
    void signedInChanged();
    void userChanged();
    void albumsChanged();
    void albumsLoadedChanged();

private:
    /// Stores the value and emits its signal when it differs, then signedInChanged when that flipped.
    template <typename T, typename Signal> void assign(T& field, T value, Signal signal)
    {
        if (field == value)
            return;
        const bool wasSignedIn = isSignedIn();
        field = std::move(value);
        emit(this->*signal)();
        noteSignedIn(wasSignedIn);
    }
    void noteSignedIn(bool wasSignedIn);

    bool m_hasSessionToken = false;
    std::optional<User> m_user;
    QList<Album> m_albums;
    bool m_albumsLoaded = false;
};

} // namespace lumi
