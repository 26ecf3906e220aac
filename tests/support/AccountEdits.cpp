#include "support/AccountEdits.h"

namespace lumi::test {

void editUser(Account& account, const std::function<void(User&)>& edit)
{
    User user = *account.user();
    edit(user);
    account.setUser(std::move(user));
}

void editAlbum(Account& account, qint64 id, const std::function<void(Album&)>& edit)
{
    QList<Album> albums = account.albums();
    for (Album& album : albums) {
        if (album.id == id) {
            edit(album);
            account.setAlbums(std::move(albums));
            return;
        }
    }
    qFatal("no album %lld", id);
}

} // namespace lumi::test
