#include "model/Account.h"

namespace lumi {

Account::Account(QObject* parent) : QObject(parent) {}

Account::~Account() = default;

void Account::setHasSessionToken(bool has)
{
    const bool wasSignedIn = isSignedIn();
    m_hasSessionToken = has;
    noteSignedIn(wasSignedIn);
}

void Account::setUser(std::optional<User> user)
{
    assign(m_user, std::move(user), &Account::userChanged);
}

void Account::setAlbums(QList<Album> albums)
{
    assign(m_albums, std::move(albums), &Account::albumsChanged);
}

void Account::setAlbumsLoaded(bool loaded)
{
    assign(m_albumsLoaded, loaded, &Account::albumsLoadedChanged);
}

void Account::noteSignedIn(bool wasSignedIn)
{
    if (isSignedIn() != wasSignedIn)
        emit signedInChanged();
}

} // namespace lumi
